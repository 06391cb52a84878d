#include "exchange/vcardwriter.h"

#include "exchange/personname.h"
#include "exchange/vcardmapper.h"
#include "exchange/vcardtext.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <algorithm>

namespace exchange {

using vcardtext::escaped;

namespace {

constexpr qsizetype kFoldAt = 75;
constexpr qsizetype kFlushAt = 1 << 20;

// A line of at most 75 octets, continued on lines that begin with a blank; a cut never falls inside
// a character's bytes.
void appendFolded(QByteArray &out, QByteArrayView line)
{
    qsizetype limit = kFoldAt;
    while (line.size() > limit) {
        qsizetype cut = limit;
        while (cut > 0 && (uchar(line.at(cut)) & 0xC0) == 0x80)
            --cut;
        out += line.first(cut);
        out += "\r\n ";
        line = line.sliced(cut);
        limit = kFoldAt - 1;
    }
    out += line;
    out += "\r\n";
}

// Text a vCard value carries as it is: no control characters but the tab and the line feed (which
// is escaped). A carriage return, say, is not among them.
bool portable(QStringView text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n'))
            return false;
    return true;
}

// What other programs are shown of a text that is not portable: line breaks of every kind as line
// feeds, other control characters as blanks.
QString portableForm(const QString &text)
{
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (QChar &c : out)
        if (c == QLatin1Char('\r'))
            c = QLatin1Char('\n');
        else if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return out;
}

// yyyymmdd as vCard's date (1980-01-02), and 0000mmdd as a date without a year (--0102); nothing
// for what is not a date.
std::optional<QByteArray> vcardDate(const QString &stored)
{
    if (stored.size() != 8 || !std::all_of(stored.begin(), stored.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return std::nullopt;
    const int year = stored.left(4).toInt(), month = stored.mid(4, 2).toInt(), day = stored.right(2).toInt();
    if (!QDate(year == 0 ? 2000 : year, month, day).isValid())
        return std::nullopt;
    const QByteArray text = stored.toLatin1();
    if (year == 0)
        return "--" + text.right(4);
    return text.left(4) + '-' + text.mid(4, 2) + '-' + text.right(2);
}

class CardBuilder
{
public:
    explicit CardBuilder(QByteArray *out)
        : m_out(out)
    {
    }

    void raw(const QByteArray &head, const QByteArray &value)
    {
        appendFolded(*m_out, head + ':' + value);
    }

    // A text property: escaped, its line breaks made line feeds where it holds others.
    void text(const QByteArray &head, const QString &value)
    {
        raw(head, escaped(portableForm(value)).toUtf8());
    }

    // The stored text exactly, for this program's reader alone; BASE64 where plain text cannot carry it.
    void own(const ContactField &field, const QString &value)
    {
        const QByteArray head = "X-MIVO-" + field.column.toUpper().toLatin1();
        if (portable(value))
            raw(head, escaped(value).toUtf8());
        else
            raw(head + ";ENCODING=b", value.toUtf8().toBase64());
    }

private:
    QByteArray *m_out;
};

// The logical lines of a card: folds joined.
QList<QByteArray> unfoldedLines(QByteArrayView card)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < card.size()) {
        qsizetype end = card.indexOf('\n', start);
        if (end < 0)
            end = card.size();
        QByteArrayView line = card.sliced(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        if (!lines.isEmpty() && (line.startsWith(' ') || line.startsWith('\t')))
            lines.last() += line.sliced(1);
        else
            lines.append(line.toByteArray());
        start = end + 1;
    }
    return lines;
}

// The properties of `previous` that the reader steps over, as lines; none of a 2.1 card, whose
// encodings a 3.0 or 4.0 card does not share.
QList<QByteArray> foreignProperties(QByteArrayView previous)
{
    struct Line
    {
        QByteArray text, group, name;
    };
    QList<Line> kept, labels;
    bool modern = false;
    int depth = 0;
    for (const QByteArray &line : unfoldedLines(previous)) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const qsizetype semicolon = line.indexOf(';');
        QByteArray name = line.left(semicolon > 0 && semicolon < colon ? semicolon : colon).trimmed().toUpper();
        QByteArray group;
        if (const qsizetype dot = name.indexOf('.'); dot >= 0) {
            group = name.left(dot);
            name = name.mid(dot + 1);
        }
        if (name == "BEGIN" || name == "END") {
            depth += name == "BEGIN" ? 1 : -1;
            continue;
        }
        if (depth != 1)
            continue;   // a card inside the card
        if (name == "VERSION") {
            const QByteArray version = line.mid(colon + 1).trimmed();
            modern = version == "3.0" || version == "4.0";
        }
        else if (name == "X-ABLABEL")
            labels.append({line, group, name});
        else if (name != "PRODID" && name != "REV" && VCardMapper::classify(name) == 0)
            kept.append({line, group, name});
    }
    QList<QByteArray> out;
    if (!modern)
        return out;
    for (const Line &l : std::as_const(kept))
        out.append(l.text);
    // A label goes with the properties of its group that stay.
    for (const Line &label : std::as_const(labels))
        if (!label.group.isEmpty()
            && std::any_of(kept.begin(), kept.end(), [&](const Line &l) { return l.group == label.group; }))
            out.append(label.text);
    return out;
}

} // namespace

VCardWriter::VCardWriter(VCardVersion version)
    : m_version(version)
{
}

QByteArray VCardWriter::card(const Contact &c) const
{
    const bool v4 = m_version == VCardVersion::V40;
    QByteArray out;
    out.reserve(512 + c.history.size() * 3);
    CardBuilder card(&out);
    card.raw("BEGIN", "VCARD");
    card.raw("VERSION", v4 ? "4.0" : "3.0");
    card.raw("PRODID", QByteArray(vcardtext::kOwnProductPrefix) + "Mivo//ZH");
    if (!c.uid.isEmpty())
        card.text("UID", c.uid);

    const NameParts name = splitName(portableForm(c.name));
    card.raw("N", escaped(name.family).toUtf8() + ';' + escaped(name.given).toUtf8() + ";;;");
    card.text("FN", c.name);
    if (!c.nickname.isEmpty())
        card.text("NICKNAME", c.nickname);
    if (c.sex == QLatin1String("1") || c.sex == QLatin1String("2")) {
        const bool male = c.sex == QLatin1String("1");
        if (v4)
            card.raw("GENDER", male ? "M" : "F");
        else
            card.raw("X-GENDER", male ? "Male" : "Female");
    }
    const std::optional<QByteArray> birthday = vcardDate(c.birthday);
    if (birthday)
        card.raw("BDAY", *birthday);

    if (!c.mobile.isEmpty())
        card.text("TEL;TYPE=cell", c.mobile);
    if (!c.handyPhone.isEmpty())
        card.text("TEL;TYPE=x-mivo-xiaolt", c.handyPhone);
    if (!c.homePhone.isEmpty())
        card.text("TEL;TYPE=home,voice", c.homePhone);
    if (!c.officePhone.isEmpty())
        card.text("TEL;TYPE=work,voice", c.officePhone);
    if (!c.email.isEmpty())
        card.text(v4 ? "EMAIL" : "EMAIL;TYPE=internet", c.email);
    if (!c.qq.isEmpty())
        card.text("X-QQ", c.qq);
    if (!c.msn.isEmpty())
        card.text("X-MSN", c.msn);

    // The one postcode goes with the home address, or with the office's where only that is known.
    const bool postcodeAtWork = c.homeAddress.isEmpty() && !c.officeAddress.isEmpty();
    auto address = [&](const QByteArray &head, const QString &street, bool withPostcode) {
        const QString postcode = withPostcode ? c.postcode : QString();
        if (street.isEmpty() && postcode.isEmpty())
            return;
        card.raw(head, ";;" + escaped(portableForm(street)).toUtf8() + ";;;" + escaped(portableForm(postcode)).toUtf8() + ';');
    };
    address("ADR;TYPE=home", c.homeAddress, !postcodeAtWork);
    address("ADR;TYPE=work", c.officeAddress, postcodeAtWork);

    if (!c.employer.isEmpty())
        card.text("ORG", c.employer);
    if (!c.occupation.isEmpty())
        card.text("TITLE", c.occupation);
    if (!c.remarks.isEmpty())
        card.text("NOTE", c.remarks);
    if (!c.categories.isEmpty()) {
        QStringList names;
        for (const QString &category : c.categories)
            names.append(escaped(portableForm(category)));
        card.raw("CATEGORIES", names.join(QLatin1Char(',')).toUtf8());
    }

    // What has no property of its own, and what its property could not carry exactly.
    for (const ContactField &f : contactFields()) {
        const QString &value = c.*f.member;
        if (value.isEmpty() || f.member == &Contact::groupCode)
            continue;
        const bool ownOnly = f.member == &Contact::nativePlace || f.member == &Contact::history
            || f.member == &Contact::updated;
        const bool inexact = !portable(value)
            || (f.member == &Contact::sex && value != QLatin1String("1") && value != QLatin1String("2"))
            || (f.member == &Contact::birthday && !birthday);
        if (ownOnly || inexact)
            card.own(f, value);
    }
    card.raw("END", "VCARD");
    return out;
}

QByteArray VCardWriter::cardOver(const Contact &contact, QByteArrayView previous) const
{
    QByteArray out = card(contact);
    const QList<QByteArray> foreign = foreignProperties(previous);
    if (foreign.isEmpty())
        return out;
    static const QByteArray end = "END:VCARD\r\n";
    out.chop(end.size());
    for (const QByteArray &line : foreign)
        appendFolded(out, line);
    out += end;
    return out;
}

bool VCardWriter::write(QIODevice *device, const QList<Contact> &contacts, QString *reason) const
{
    QByteArray buffer;
    buffer.reserve(kFlushAt + 64 * 1024);
    auto flush = [&] {
        const bool ok = device->write(buffer) == buffer.size();
        buffer.truncate(0);
        return ok;
    };
    for (const Contact &c : contacts) {
        buffer += card(c);
        if (buffer.size() >= kFlushAt && !flush()) {
            *reason = QStringLiteral("写入 vCard 文件失败: %1").arg(device->errorString());
            return false;
        }
    }
    if (!flush()) {
        *reason = QStringLiteral("写入 vCard 文件失败: %1").arg(device->errorString());
        return false;
    }
    return true;
}

bool VCardWriter::writeToPath(const QString &path, const QList<Contact> &contacts, QString *reason) const
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        *reason = QStringLiteral("无法写入文件 %1: %2").arg(QDir::toNativeSeparators(path), out.errorString());
        return false;
    }
    if (!write(&out, contacts, reason))
        return false;
    // A short write may go unreported until the size is looked at (a full disk, a size limit).
    const qint64 written = out.pos();
    const bool complete = out.size() == written;
    const QString systemText = out.errorString();
    out.close();
    if (!complete || out.error() != QFileDevice::NoError) {
        *reason = QStringLiteral("写入 vCard 文件失败: %1").arg(systemText);
        return false;
    }
    return true;
}

} // namespace exchange
