#include "platform/modules.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QMutex>
#include <QPluginLoader>

namespace platform {

namespace {

QString &folderSetting()
{
    static QString folder;
    return folder;
}

} // namespace

void setModuleFolder(const QString &folder)
{
    folderSetting() = folder;
}

QString moduleFolder()
{
    const QString &set = folderSetting();
    return set.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/modules") : set;
}

QObject *loadModule(const QString &name, QString *reason)
{
    // Loaded modules stay for the run: their objects may be in use anywhere, and a library once
    // mapped costs nothing more.
    // Without its suffix: the loader adds the platform's (.so, .dll).
    const QString base = QDir(moduleFolder()).filePath(name);
    static QMutex guard;
    const QMutexLocker lock(&guard);
    static QHash<QString, QObject *> loaded;
    if (QObject *root = loaded.value(base))
        return root;
    QPluginLoader loader(base);
    QObject *root = loader.instance();
    if (!root) {
        if (reason)
            *reason = QStringLiteral("找不到程序的组成部分“%1”(%2),请重新安装本程序: %3")
                          .arg(name, QDir::toNativeSeparators(base), loader.errorString());
        return nullptr;
    }
    loaded.insert(base, root);
    return root;
}

} // namespace platform
