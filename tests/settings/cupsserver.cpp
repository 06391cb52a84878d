#include "cupsserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

namespace {

void write(const QString &path, const QString &text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0)
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

CupsServer::CupsServer()
{
    const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (cupsd.isEmpty())
        qFatal("cupsd is needed (Debian's cups; ./test.sh installs it)");
    const QString d = m_dir.path();
    for (const char *sub : {"spool", "cache", "state", "tmp"})
        QDir(d).mkpath(QString::fromLatin1(sub));
    // The scheduler refuses folders others may write; its own files are its user's.
    QFile::setPermissions(d, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                 | QFile::ReadOther | QFile::ExeOther);
    write(d + QStringLiteral("/cupsd.conf"), QStringLiteral(
        "Listen %1/cups.sock\nLogLevel warn\nBrowsing No\nDefaultAuthType None\nWebInterface No\n"
        "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
        "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
        "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n").arg(d));
    write(d + QStringLiteral("/cups-files.conf"), QStringLiteral(
        "ServerRoot %1\nStateDir %1/state\nCacheDir %1/cache\nRequestRoot %1/spool\nTempDir %1/tmp\n"
        "ErrorLog %1/error_log\nAccessLog %1/access_log\nPageLog %1/page_log\nSystemGroup root\n").arg(d));
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), d + QStringLiteral("/cupsd.conf"),
                          QStringLiteral("-s"), d + QStringLiteral("/cups-files.conf")});
    if (!m_cupsd.waitForStarted(10000))
        qFatal("cupsd did not start: %s", qPrintable(m_cupsd.errorString()));
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(socket())) {
        if (m_cupsd.state() != QProcess::Running || waited.elapsed() > 20000)
            qFatal("cupsd did not open its socket: %s", m_cupsd.readAll().constData());
        QTest::qWait(50);
    }
    qputenv("CUPS_SERVER", socket().toUtf8());
}

CupsServer::~CupsServer()
{
    m_cupsd.terminate();
    if (!m_cupsd.waitForFinished(10000)) {
        m_cupsd.kill();
        m_cupsd.waitForFinished();
    }
}

bool CupsServer::admin(const QStringList &arguments, QString *error)
{
    QProcess lpadmin;
    lpadmin.setProcessChannelMode(QProcess::MergedChannels);
    lpadmin.start(QStringLiteral("lpadmin"), QStringList{QStringLiteral("-h"), socket()} + arguments);
    if (!lpadmin.waitForFinished(30000) || lpadmin.exitCode() != 0) {
        *error = QString::fromLocal8Bit(lpadmin.readAll()) + lpadmin.errorString();
        return false;
    }
    return true;
}

bool CupsServer::addPdfPrinter(const QString &name, bool makeDefault, QString *error)
{
    if (!admin({QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"), QStringLiteral("cups-pdf:/"),
                QStringLiteral("-P"), QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd")}, error))
        return false;
    return !makeDefault || admin({QStringLiteral("-d"), name}, error);
}

bool CupsServer::removePrinter(const QString &name, QString *error)
{
    return admin({QStringLiteral("-x"), name}, error);
}
