#include "platform/linux/xdgautostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

namespace {

const QString kGroup = QStringLiteral("[Desktop Entry]");

QString configHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

// Characters that make an argument need quotes, besides blanks and anything beyond ASCII.
bool needsQuotes(const QString &argument)
{
    static const QString reserved = QStringLiteral("\"'\\><~|&;$*?#()`");
    if (argument.isEmpty())
        return true;
    for (QChar c : argument)
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7f || reserved.contains(c))
            return true;
    return false;
}

QString quoted(const QString &argument)
{
    // A literal percent sign is written doubled, quoted or not: launchers expand field codes first.
    QString a = argument;
    a.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (!needsQuotes(argument))
        return a;
    QString out = QStringLiteral("\"");
    for (QChar c : a) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('"');
}

// The escapes of a string value of the file: applied on top of the quoting.
QString escapeString(const QString &text)
{
    QString out;
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        default: out += c;
        }
    }
    return out;
}

QString unescapeString(const QString &value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar n = value.at(++i);
        switch (n.unicode()) {
        case 's': out += QLatin1Char(' '); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'r': out += QLatin1Char('\r'); break;
        default: out += n; break;   // "\\" and any other escaped character stand for themselves
        }
    }
    return out;
}

// The Exec value of the [Desktop Entry] group of `text`, as it stands in the file.
QString execLine(const QString &text)
{
    bool inEntry = false;
    for (const QString &raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == kGroup;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (inEntry && eq > 0 && line.left(eq).trimmed() == QLatin1String("Exec"))
            return line.mid(eq + 1).trimmed();
    }
    return {};
}

} // namespace

QString XdgAutostart::entryPath(const QString &name)
{
    return configHome() + QStringLiteral("/autostart/") + name + QStringLiteral(".desktop");
}

QString XdgAutostart::execValue(const QString &program, const QStringList &arguments)
{
    QStringList parts{quoted(program)};
    for (const QString &a : arguments)
        parts << quoted(a);
    return escapeString(parts.join(QLatin1Char(' ')));
}

QStringList XdgAutostart::execArguments(const QString &value)
{
    const QString text = unescapeString(value);
    QStringList out;
    QString current;
    bool inArgument = false, inQuotes = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text.at(i);
        if (c == QLatin1Char('%') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('%')) {
            ++i;
            current += c;
            inArgument = true;
            continue;
        }
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                if (c == QLatin1Char('\\') && i + 1 < text.size())
                    c = text.at(++i);
                current += c;
            }
            continue;
        }
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inArgument)
                out << current;
            current.clear();
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (c == QLatin1Char('"'))
            inQuotes = true;
        else
            current += c;
    }
    if (inQuotes)
        return {};
    if (inArgument)
        out << current;
    return out;
}

bool XdgAutostart::enable(const QString &name, const QString &program, const QStringList &arguments)
{
    const QString path = entryPath(name);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    // Written beside the entry and renamed over it only when complete: a desktop reading the folder
    // at log-on never finds half an entry.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QString text = kGroup + QStringLiteral("\nType=Application\nName=%1\nExec=%2\nX-GNOME-Autostart-enabled=true\n")
                                      .arg(escapeString(name), execValue(program, arguments));
    if (f.write(text.toUtf8()) < 0)
        return false;
    return f.commit();
}

QString XdgAutostart::command(const QString &name) const
{
    QFile f(entryPath(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return unescapeString(execLine(QString::fromUtf8(f.readAll())));
}

bool XdgAutostart::disable(const QString &name)
{
    const QFileInfo entry(entryPath(name));
    if (!entry.exists() && !entry.isSymLink())
        return true;
    return QFile::remove(entry.filePath());
}

} // namespace platform
