#pragma once
// The application object: finds its folder, connects the database, and receives the program-wide
// notifications (idle, close, unexpected runtime error). The main window is opened by the shell.

#include "app/systemerror.h"

#include <QApplication>
#include <functional>

class mivo : public QApplication
{
    Q_OBJECT
public:
    static constexpr int ExitConnectFailed = 1;
    static constexpr int ExitSystemError = 2;

    mivo(int &argc, char **argv);
    ~mivo() override;

    static mivo *instance() { return static_cast<mivo *>(QCoreApplication::instance()); }

    // Start-up up to the main window: the folders from where the executable lies (settleFolders()),
    // then sqlca. On a failed connection shows "001" and returns false; the caller then ends without opening anything.
    bool open(const QString &executablePath);
    // The user has been idle for the armed time (auto-lock); the main window installs the handler.
    void idle();
    // The main window installs it; the countdown in use then reaches it.
    void setIdleHandler(std::function<void()> handler);
    // The program is ending: disconnect the database (at most once).
    void close();
    // An unexpected runtime error: clipboard, box "002", then the program ends with ExitSystemError.
    void systemerror(const SystemErrorInfo &info);
    bool systemErrorRaised() const { return m_systemError; }

    bool notify(QObject *receiver, QEvent *event) override;

private:
    std::function<void()> m_idleHandler;
    bool m_systemError = false;
};

// Where the failing code named itself, or else the receiver of the event that was being handled.
SystemErrorInfo describeFailure(QObject *receiver, const QEvent *event, const std::exception *error);
