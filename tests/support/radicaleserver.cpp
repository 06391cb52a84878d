#include "radicaleserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <unistd.h>

int freePort()
{
    QTcpServer probe;
    for (int i = 0; i < 20; ++i) {
        if (!probe.listen(QHostAddress::LocalHost, 0))
            continue;
        const int port = probe.serverPort();
        probe.close();
        if (port != 5232)
            return port;
    }
    return 0;
}

namespace {

// In memory where the machine has a place for it: the server's writes then wait for no disk.
QString scratchFolder()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    return shm.isDir() && shm.isWritable() ? QStringLiteral("/dev/shm/mivo-radicale-XXXXXX") : QString();
}

} // namespace

RadicaleServer::RadicaleServer(bool tls)
    : m_dir(scratchFolder().isEmpty() ? QDir::tempPath() + QStringLiteral("/mivo-radicale-XXXXXX") : scratchFolder())
    , m_tls(tls)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

RadicaleServer::~RadicaleServer()
{
    stop();
}

QUrl RadicaleServer::root() const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/").arg(m_tls ? QStringLiteral("https") : QStringLiteral("http")).arg(m_port));
}

QUrl RadicaleServer::book() const
{
    return root().resolved(QUrl(user() + QStringLiteral("/contacts/")));
}

QString RadicaleServer::bookFolder() const
{
    return m_dir.filePath(QStringLiteral("store/collection-root/%1/contacts").arg(user()));
}

double RadicaleServer::cpuMs() const
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(m_process.processId()));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // utime and stime are the 14th and 15th fields, after the name in brackets.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (f.value(11).toDouble() + f.value(12).toDouble()) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

bool RadicaleServer::start(QString *error)
{
    auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (running())
        return true;
    if (m_port == 0) {
        m_port = freePort();
        QDir().mkpath(bookFolder());
        QFile props(bookFolder() + QStringLiteral("/.Radicale.props"));
        QFile users(m_dir.filePath(QStringLiteral("users")));
        if (!props.open(QIODevice::WriteOnly) || !users.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("cannot write the server's files"));
        props.write(R"({"tag": "VADDRESSBOOK", "D:displayname": "通讯录"})");
        users.write((user() + QLatin1Char(':') + password() + QLatin1Char('\n')).toUtf8());
        QString tls = QStringLiteral("ssl = False\n");
        if (m_tls) {
            QProcess openssl;
            openssl.setProcessChannelMode(QProcess::MergedChannels);
            openssl.start(QStringLiteral("openssl"),
                {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                 QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"),
                 QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-keyout"), m_dir.filePath(QStringLiteral("key.pem")),
                 QStringLiteral("-out"), m_dir.filePath(QStringLiteral("cert.pem"))});
            if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
                return fail(QStringLiteral("openssl could not make a certificate"));
            tls = QStringLiteral("ssl = True\ncertificate = %1\nkey = %2\n")
                      .arg(m_dir.filePath(QStringLiteral("cert.pem")), m_dir.filePath(QStringLiteral("key.pem")));
        }
        QFile config(m_dir.filePath(QStringLiteral("config")));
        if (!config.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("cannot write the server's configuration"));
        config.write(QStringLiteral("[server]\nhosts = 127.0.0.1:%1\nmax_connections = 20\n%2"
                                    "[auth]\ntype = htpasswd\nhtpasswd_filename = %3\nhtpasswd_encryption = plain\ndelay = 0\n"
                                    "[storage]\nfilesystem_folder = %4\n[logging]\nlevel = critical\n")
                         .arg(m_port)
                         .arg(tls, m_dir.filePath(QStringLiteral("users")), m_dir.filePath(QStringLiteral("store")))
                         .toUtf8());
    }
    m_process.start(QStringLiteral("radicale"), {QStringLiteral("-C"), m_dir.filePath(QStringLiteral("config"))});
    if (!m_process.waitForStarted(10000))
        return fail(QStringLiteral("radicale did not start: %1").arg(m_process.errorString()));
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 20000) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(m_port));
        if (probe.waitForConnected(200))
            return true;
        if (!running())
            break;
        QThread::msleep(50);
    }
    stop();
    return fail(QStringLiteral("radicale did not answer on port %1").arg(m_port));
}

void RadicaleServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}
