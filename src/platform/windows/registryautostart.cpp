#include "platform/windows/registryautostart.h"

#include <QDir>
#include <QSettings>

namespace platform {

namespace {

const QString kRunKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");

// The command line as Windows splits it: an argument with blanks in double quotes.
QString quoted(const QString &argument)
{
    if (!argument.isEmpty() && !argument.contains(QLatin1Char(' ')) && !argument.contains(QLatin1Char('\t')))
        return argument;
    return QStringLiteral("\"") + argument + QStringLiteral("\"");
}

} // namespace

bool RegistryAutostart::enable(const QString &name, const QString &program, const QStringList &arguments)
{
    QStringList parts{quoted(QDir::toNativeSeparators(program))};
    for (const QString &a : arguments)
        parts << quoted(a);
    const QString command = parts.join(QLatin1Char(' '));
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
