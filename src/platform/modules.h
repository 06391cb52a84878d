#pragma once
// Parts of the program that only some pages use, and the libraries behind them, are built as modules
// loaded on first use, so a start maps none of them. A module is a Qt plugin whose root object
// implements one interface (declared with Q_DECLARE_INTERFACE beside its callers). Modules lie in
// "modules" beside the executable when it runs portable and in ../lib/mivo/modules when installed
// (settleFolders() decides); the tests point at the build's own, so they load what ships.

#include <QObject>
#include <QString>

namespace platform {

void setModuleFolder(const QString &folder);
QString moduleFolder();

// The root object of module `name` (loaded once, kept for the run), or nullptr with a Chinese reason
// that names the missing or broken file, for the caller's failure box.
QObject *loadModule(const QString &name, QString *reason);

// The module's interface; nullptr with a reason when the module is missing or is not that interface.
template <class Interface> Interface *module(const QString &name, QString *reason)
{
    QObject *root = loadModule(name, reason);
    Interface *found = qobject_cast<Interface *>(root);
    if (root && !found && reason)
        *reason = QStringLiteral("程序的组成部分“%1”不是本版本的!\n尝试用安装程序覆盖安装修复").arg(name);
    return found;
}

// The box for a part of a page that could not be made for want of its module; the page goes on
// without it.
void showModuleFailure(const QString &reason);

} // namespace platform
