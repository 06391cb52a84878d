#include "platform/modules.h"

#include "platform/messagebox.h"

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
    // Named without its suffix: the loader adds the platform's (.so, .dll).
    const QString base = QDir(moduleFolder()).filePath(name);
    // Any thread may ask (the printer is read on a worker). Loaded modules stay for the run: their
    // objects may be in use anywhere. A failure is not remembered, so a module put back is found.
    static QMutex guard;
    const QMutexLocker lock(&guard);
    static QHash<QString, QObject *> loaded;
    if (QObject *root = loaded.value(base))
        return root;
    QPluginLoader loader(base);
    QObject *root = loader.instance();
    if (!root) {
        if (reason)
            *reason = QStringLiteral("程序的组成部分“%1”无法加载!\n%2\n尝试用安装程序覆盖安装修复")
                          .arg(name, loader.errorString());
        return nullptr;
    }
    // Made on the asking thread; it belongs to the program's, which outlives any worker.
    if (QCoreApplication *app = QCoreApplication::instance(); app && root->thread() != app->thread())
        root->moveToThread(app->thread());
    loaded.insert(base, root);
    return root;
}

void showModuleFailure(const QString &reason)
{
    messageBox(QStringLiteral("程序文件错误"), reason, Icon::Stop);
}

} // namespace platform
