#include "platform/windows/registryautostart.h"

#include <QSettings>

namespace platform {

namespace {
const QString kRunKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
}

bool RegistryAutostart::enable(const QString &name, const QString &command)
{
    QSettings run(kRunKey, QSettings::NativeFormat);
    run.setValue(name, command);
    run.sync();
    return run.status() == QSettings::NoError && run.value(name).toString() == command;
}

QString RegistryAutostart::command(const QString &name) const
{
    QSettings run(kRunKey, QSettings::NativeFormat);
    return run.value(name).toString();
}

bool RegistryAutostart::disable(const QString &name)
{
    QSettings run(kRunKey, QSettings::NativeFormat);
    run.remove(name);
    run.sync();
    return run.status() == QSettings::NoError && !run.contains(name);
}

} // namespace platform
