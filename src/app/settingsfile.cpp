#include "app/settingsfile.h"

#include "app/installation.h"
#include "app/textcodec.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace {

const QString kSection = QStringLiteral("setting");
int g_reads = 0;

QString settingsPath()
{
    return dataFile(QStringLiteral("client.ini"));
}

bool isSectionHeader(const QString &line, QString *name = nullptr)
{
    const QString t = line.trimmed();
    if (t.size() < 2 || !t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    if (name)
        *name = t.mid(1, close - 1).trimmed();
    return true;
}

// The key of a "key=value" line, or an empty string for comments and other lines.
QString keyOf(const QString &line)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')))
        return {};
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    return eq > 0 ? t.left(eq).trimmed() : QString();
}

QString valueOf(const QString &line)
{
    QString v = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    // A value written with blanks at either end was quoted so that they survive.
    if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
        v = v.mid(1, v.size() - 2);
    return v;
}

QString encodeValue(QString v)
{
    // One line per key: a line break inside a value would forge other keys.
    v.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (v != v.trimmed() || (v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')) && v.size() >= 2))
        v = QLatin1Char('"') + v + QLatin1Char('"');
    return v;
}

struct IniText
{
    QStringList lines;
    QString eol = QStringLiteral("\n");
    bool finalEol = true;
};

IniText readIni()
{
    IniText ini;
    QFile f(settingsPath());
    if (!f.open(QIODevice::ReadOnly))
        return ini;
    const QString text = decodeLocalText(f.readAll());
    if (text.contains(QStringLiteral("\r\n")))
        ini.eol = QStringLiteral("\r\n");
    if (text.isEmpty())
        return ini;
    ini.finalEol = text.endsWith(QLatin1Char('\n'));
    ini.lines = text.split(QLatin1Char('\n'));
    if (ini.finalEol)
        ini.lines.removeLast();
    for (QString &l : ini.lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    return ini;
}

// Index of the key's line inside the [setting] section; sets sectionStart/sectionEnd (exclusive) or -1.
qsizetype findKey(const QStringList &lines, const QString &key, qsizetype *sectionStart, qsizetype *sectionEnd)
{
    *sectionStart = -1;
    *sectionEnd = -1;
    qsizetype found = -1;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name;
        if (isSectionHeader(lines.at(i), &name)) {
            if (inSection) {
                *sectionEnd = i;
                inSection = false;
            }
            // The first [setting] section is the one read and written, as the platform's own does.
            if (*sectionStart < 0 && name.compare(kSection, Qt::CaseInsensitive) == 0) {
                *sectionStart = i;
                inSection = true;
            }
            continue;
        }
        if (inSection && found < 0 && keyOf(lines.at(i)).compare(key, Qt::CaseInsensitive) == 0)
            found = i;
    }
    if (inSection)
        *sectionEnd = lines.size();
    return found;
}

} // namespace

int settingsReadCount()
{
    return g_reads;
}

QString readSetting(const QString &key)
{
    ++g_reads;
    const IniText ini = readIni();
    qsizetype start, end;
    const qsizetype at = findKey(ini.lines, key.trimmed(), &start, &end);
    return at < 0 ? QString() : valueOf(ini.lines.at(at));
}

void writeSetting(const QString &key, const QString &value)
{
    const QString k = key.trimmed();
    if (k.isEmpty() || k.contains(QLatin1Char('=')))
        return;
    IniText ini = readIni();
    qsizetype start, end;
    const qsizetype at = findKey(ini.lines, k, &start, &end);
    if (at >= 0) {
        // Keep the key as it was spelt in the file.
        ini.lines[at] = keyOf(ini.lines.at(at)) + QLatin1Char('=') + encodeValue(value);
    } else if (start >= 0) {
        qsizetype insertAt = end;
        while (insertAt > start + 1 && ini.lines.at(insertAt - 1).trimmed().isEmpty())
            --insertAt;
        ini.lines.insert(insertAt, k + QLatin1Char('=') + encodeValue(value));
    } else {
        if (!ini.lines.isEmpty() && !ini.lines.last().trimmed().isEmpty())
            ini.lines << QString();
        ini.lines << QLatin1Char('[') + kSection + QLatin1Char(']') << k + QLatin1Char('=') + encodeValue(value);
    }

    QString text = ini.lines.join(ini.eol);
    if (ini.finalEol || at < 0)
        text += ini.eol;
    QSaveFile out(settingsPath());
    if (!out.open(QIODevice::WriteOnly))
        return;
    const QByteArray bytes = text.toUtf8();
    // A short write (full disk, size limit) may go unreported until the size is checked: the old
    // file is replaced only by a complete new one.
    if (out.write(bytes) != bytes.size() || !out.flush() || out.size() != bytes.size()) {
        out.cancelWriting();
        return;
    }
    out.commit();
}
