#include "shell/w_main.h"

#include "app/globals.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

w_main::w_main(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("w_main"));
    resize(793, 552);
}

void w_main::open()
{
    setWindowTitle(QStringLiteral("Mivo V") + gs_version);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void w_main::closeEvent(QCloseEvent *event)
{
    event->accept();
    // The program ends with its window, also when a dialog or box closes while the window is hidden.
    QCoreApplication::quit();
}
