#pragma once

#include <QString>

class mivo;

// The whole run: start-up, the main window, the event loop, shutdown. Returns the exit status.
int runMivo(mivo &app, const QString &executablePath);
