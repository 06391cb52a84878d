#pragma once

#include <QMenu>

// The tray icon's popup menu: show or hide the main window (the default item, in bold), a
// separator, and exit. One instance lives while it is popped up.
class TrayMenu : public QMenu
{
    Q_OBJECT
public:
    explicit TrayMenu(QWidget *parent);

    QAction *showAction;
    QAction *separator;
    QAction *exitAction;
};
