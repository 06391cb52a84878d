#pragma once

#include <QCoreApplication>
#include <QStringList>

class Application;

// The whole run: start-up, the main window, the event loop, shutdown. `arguments` is the command line
// without the program's name. Returns the exit status.
int runMivo(Application &app, const QString &executablePath,
            const QStringList &arguments = QCoreApplication::arguments().mid(1));
