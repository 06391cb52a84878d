#pragma once
// A CardDAV server of the test's own: Debian's radicale on 127.0.0.1 on a free port (never the
// service's 5232), its users, password file and address books in a temporary folder, stopped with
// the object. With TLS it uses a certificate made for the run, which no client trusts. Its folder
// is in memory (/dev/shm) where there is one, so its writes wait for no disk.

#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

class RadicaleServer
{
public:
    explicit RadicaleServer(bool tls = false);
    ~RadicaleServer();

    // Starts it and waits until it answers; false with the reason in `error`.
    bool start(QString *error = nullptr);
    // Kills it, as a crash or a pulled plug would; start() brings it back on the same port and data.
    void stop();
    bool running() const { return m_process.state() == QProcess::Running; }

    QString user() const { return QStringLiteral("alice"); }
    QString password() const { return QStringLiteral("s3cret"); }
    QUrl root() const;
    QUrl book() const;   // the user's address book, made at start
    // The folder that holds the address book's cards, one file each.
    QString bookFolder() const;
    // The server's CPU time since it started, user and system, in milliseconds.
    double cpuMs() const;
    int port() const { return m_port; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    bool m_tls;
};

// A free TCP port on 127.0.0.1 (bound and released: good enough for a test's own server).
int freePort();
