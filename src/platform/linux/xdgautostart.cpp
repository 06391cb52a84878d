#include "platform/linux/xdgautostart.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

namespace {

QString configHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

// The desktop-entry format escapes these inside Exec values.
QString escapeExec(QString command)
{
    command.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    command.replace(QLatin1Char('\n'), QLatin1Char(' '));
    command.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return command;
}

QString unescapeExec(QString value)
{
    value.replace(QStringLiteral("%%"), QStringLiteral("%"));
    value.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    return value;
}

} // namespace

QString XdgAutostart::entryPath(const QString &name)
{
    return configHome() + QStringLiteral("/autostart/") + name + QStringLiteral(".desktop");
}

bool XdgAutostart::enable(const QString &name, const QString &command)
{
    const QString path = entryPath(name);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2\nX-GNOME-Autostart-enabled=true\n")
                             .arg(name, escapeExec(command));
    f.write(text.toUtf8());
    return f.commit();
}

QString XdgAutostart::command(const QString &name) const
{
    QFile f(entryPath(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines)
        if (line.startsWith(QStringLiteral("Exec=")))
            return unescapeExec(line.mid(5).trimmed());
    return {};
}

bool XdgAutostart::disable(const QString &name)
{
    const QString path = entryPath(name);
    return !QFile::exists(path) || QFile::remove(path);
}

} // namespace platform
