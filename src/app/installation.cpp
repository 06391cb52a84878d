#include "app/installation.h"

#include "app/appinfo.h"
#include "platform/modules.h"
#include "platform/services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

std::optional<Installation> g_installation;

const QString kDatabase = QStringLiteral("mivo.mdb");

bool fail(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The first start: the folder is made complete under a passing name and then renamed into place, so
// an interrupted start never leaves a data folder without its database (which the next start would
// rightly report as a lost file). Only the user may read it: it holds their personal records.
bool makeDataFolder(const Installation &in, QString *reason)
{
    if (QFileInfo::exists(in.data) || QFileInfo(in.data).isSymLink())
        return true;
    const QString shipped = in.files + QLatin1Char('/') + kDatabase;
    if (!QFileInfo(shipped).isFile())
        return fail(reason, QStringLiteral("安装的空数据库不存在: %1").arg(native(shipped)));
    const QString parent = QFileInfo(in.data).absolutePath();
    if (!QDir().mkpath(parent))
        return fail(reason, QStringLiteral("无法创建文件夹: %1").arg(native(parent)));
    QTemporaryDir staging(parent + QStringLiteral("/.mivo-XXXXXX"));
    if (!staging.isValid())
        return fail(reason, QStringLiteral("无法创建文件夹: %1\n%2").arg(native(in.data), staging.errorString()));
    const QString copy = staging.filePath(kDatabase);
    QFile source(shipped);
    if (!source.copy(copy))
        return fail(reason, QStringLiteral("无法复制空数据库 %1 到 %2\n%3").arg(native(shipped), native(in.data), source.errorString()));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    if (!QDir().rename(staging.path(), in.data)) {
        // Another start made it in the meantime: that one is used.
        if (QFileInfo(in.data).isDir())
            return true;
        return fail(reason, QStringLiteral("无法创建文件夹: %1").arg(native(in.data)));
    }
    staging.setAutoRemove(false);
    return true;
}

} // namespace

std::optional<Installation> findInstallation(const QString &executableFolder, const QString &dataHome)
{
    // Joined as text, so an executable in the root folder ("") looks in /share/mivo, not beside the
    // working folder.
    const QString files = QDir::cleanPath(executableFolder + QStringLiteral("/../share/mivo"));
    if (!QFileInfo(files).isDir())
        return std::nullopt;
    return Installation{executableFolder + QLatin1Char('/') + platform::executableName(), files,
                        QDir::cleanPath(dataHome + QStringLiteral("/mivo"))};
}

QString userDataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    return QDir::homePath() + QStringLiteral("/.local/share");
}

bool settleFolders(const QString &executablePath, QString *reason)
{
    QString path = executablePath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString folder = path.left(std::max<qsizetype>(0, path.lastIndexOf(QLatin1Char('/'))));
    setInstallation(findInstallation(folder, userDataHome()));
    setAppFolder(g_installation ? g_installation->files : folder);
    platform::setModuleFolder(QDir::cleanPath(folder + (g_installation ? QStringLiteral("/../lib/mivo/modules")
                                                                       : QStringLiteral("/modules"))));
    return !g_installation || makeDataFolder(*g_installation, reason);
}

void setInstallation(const std::optional<Installation> &installation)
{
    g_installation = installation;
}

bool runsInstalled()
{
    return g_installation.has_value();
}

QString dataFolder()
{
    return g_installation ? g_installation->data : appFolder();
}

QString dataFile(const QString &name)
{
    return dataFolder() + QLatin1Char('/') + name;
}

QString programFile()
{
    return g_installation ? g_installation->executable : appFile(platform::executableName());
}

QString namingDatabase(const QString &reason)
{
    if (!g_installation)
        return reason;
    const QString file = native(dataFile(kDatabase));
    return reason.contains(file) ? reason : reason + QStringLiteral("\n数据库文件: ") + file;
}
