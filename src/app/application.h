#pragma once
// The application object: finds its folder, connects the database, and receives the program-wide
// notifications (idle, close, unexpected runtime error). The main window is opened by the shell.

#include "app/connection.h"
#include "app/systemerror.h"

#include <QApplication>
#include <functional>

class Application : public QApplication
{
    Q_OBJECT
public:
    static constexpr int ExitConnectFailed = 1;
    static constexpr int ExitSystemError = 2;

    Application(int &argc, char **argv);
    ~Application() override;

    static Application *instance() { return static_cast<Application *>(QCoreApplication::instance()); }

    // Start-up up to the main window: gs_apppath from the executable's path, then the database
    // connection. On a failed connection shows "001" and returns false; the caller then ends without
    // opening anything.
    bool open(const QString &executablePath);
    // The program's one connection to its database: the main window hands it to every page.
    Connection &connection() { return m_connection; }
    // The user has been idle for the armed time (auto-lock); the main window installs the handler.
    void idle();
    // The main window installs it; the countdown in use then reaches it.
    void setIdleHandler(std::function<void()> handler);
    // The program is ending: close the database connection (at most once).
    void close();
    // An unexpected runtime error: clipboard, box "002", then the program ends with ExitSystemError.
    void systemerror(const SystemErrorInfo &info);
    bool systemErrorRaised() const { return m_systemError; }

    bool notify(QObject *receiver, QEvent *event) override;

private:
    Connection m_connection;
    std::function<void()> m_idleHandler;
    bool m_systemError = false;
};

// Where the failing code named itself, or else the receiver of the event that was being handled.
SystemErrorInfo describeFailure(QObject *receiver, const QEvent *event, const std::exception *error);
