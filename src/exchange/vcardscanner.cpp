#include "exchange/vcardscanner.h"

#include <cstring>

namespace exchange {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

bool equalsNoCase(QByteArrayView a, const char *b)
{
    const qsizetype n = qsizetype(std::strlen(b));
    return a.size() == n && qstrnicmp(a.data(), b, size_t(n)) == 0;
}

// The end of a line's name and parameters: its first colon outside double quotes, or -1.
qsizetype headEnd(QByteArrayView text)
{
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '"')
            quoted = !quoted;
        else if (c == ':' && !quoted)
            return i;
    }
    return -1;
}

bool isCardLine(QByteArrayView text, const char *word)
{
    const qsizetype colon = headEnd(text);
    return colon > 0 && equalsNoCase(trimmed(text.first(colon)), word)
        && equalsNoCase(trimmed(text.sliced(colon + 1)), "VCARD");
}

bool containsNoCase(QByteArrayView text, const char *word)
{
    const qsizetype n = qsizetype(std::strlen(word));
    for (qsizetype i = 0; i + n <= text.size(); ++i)
        if (qstrnicmp(text.data() + i, word, size_t(n)) == 0)
            return true;
    return false;
}

// Splits at `separator` outside double quotes.
QList<QByteArrayView> splitOutsideQuotes(QByteArrayView text, char separator)
{
    QList<QByteArrayView> parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '"') {
            quoted = !quoted;
        } else if (c == separator && !quoted) {
            parts.append(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.sliced(start));
    return parts;
}

QByteArray unquoted(QByteArrayView text)
{
    text = trimmed(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.sliced(1, text.size() - 2);
    return text.toByteArray();
}

void addParameter(VCardProperty *p, QByteArrayView parameter)
{
    const qsizetype eq = parameter.indexOf('=');
    if (eq < 0) {
        // 2.1 writes the types and the encoding bare: TEL;CELL;HOME, NOTE;QUOTED-PRINTABLE.
        const QByteArray bare = trimmed(parameter).toByteArray().toUpper();
        if (bare.isEmpty())
            return;
        if (bare == "QUOTED-PRINTABLE" || bare == "BASE64" || bare == "8BIT" || bare == "7BIT")
            p->encoding = bare;
        else
            p->types.append(bare);
        if (bare == "PREF" && p->pref == 0)
            p->pref = 1;
        return;
    }
    const QByteArray name = trimmed(parameter.first(eq)).toByteArray().toUpper();
    const QByteArrayView value = parameter.sliced(eq + 1);
    if (name == "TYPE") {
        for (QByteArrayView part : splitOutsideQuotes(value, ',')) {
            const QByteArray type = unquoted(part).toUpper();
            // TYPE="work,voice" (4.0) is a list inside one quoted value.
            for (const QByteArray &t : type.split(','))
                if (!t.trimmed().isEmpty())
                    p->types.append(t.trimmed());
        }
        if (p->types.contains("PREF") && p->pref == 0)
            p->pref = 1;
    } else if (name == "CHARSET") {
        p->charset = unquoted(value);
    } else if (name == "ENCODING") {
        p->encoding = unquoted(value).toUpper();
    } else if (name == "PREF") {
        bool ok = false;
        const int pref = unquoted(value).toInt(&ok);
        if (ok && pref > 0)
            p->pref = pref;
    } else if (name == "X-SERVICE-TYPE") {
        p->serviceType = unquoted(value).toUpper();
    }
}

} // namespace

VCardScanner::VCardScanner(QByteArrayView data, Classify classify)
    : m_data(data)
    , m_classify(classify)
{
    // Lines end in CRLF or LF; a file without any LF ends them in CR alone.
    if (!m_data.contains('\n') && m_data.contains('\r'))
        m_eol = '\r';
}

bool VCardScanner::peekLine(Line *line) const
{
    if (m_pos >= m_data.size())
        return false;
    const char *start = m_data.data() + m_pos;
    const void *found = std::memchr(start, m_eol, size_t(m_data.size() - m_pos));
    qsizetype length = found ? static_cast<const char *>(found) - start : m_data.size() - m_pos;
    if (m_eol == '\n' && length > 0 && start[length - 1] == '\r')
        --length;
    line->text = QByteArrayView(start, length);
    line->number = m_line + 1;
    return true;
}

bool VCardScanner::readLine(Line *line)
{
    if (!peekLine(line))
        return false;
    const char *start = m_data.data() + m_pos;
    const void *found = std::memchr(start, m_eol, size_t(m_data.size() - m_pos));
    m_pos = found ? static_cast<const char *>(found) - m_data.data() + 1 : m_data.size();
    ++m_line;
    return true;
}

void VCardScanner::skipNestedCard()
{
    Line line;
    int depth = 0;
    while (readLine(&line)) {
        if (isCardLine(line.text, "BEGIN"))
            ++depth;
        else if (isCardLine(line.text, "END") && --depth == 0)
            return;
    }
}

bool VCardScanner::next(VCardCard *card)
{
    Line line;
    bool inCard = false;
    while (readLine(&line)) {
        if (!inCard) {
            // Whatever stands between cards is not part of any.
            if (isCardLine(line.text, "BEGIN")) {
                inCard = m_sawCard = true;
                card->line = line.number;
                card->properties.clear();
            }
            continue;
        }
        if (line.text.isEmpty() || isBlank(line.text.front()))
            continue;   // an empty line, or the rest of a line already stepped over
        const qsizetype colon = headEnd(line.text);
        if (colon <= 0)
            continue;   // not a property: some writers leave the lines of a BASE64 value unindented
        const QByteArrayView head = line.text.first(colon);
        const qsizetype semicolon = head.indexOf(';');
        QByteArrayView name = trimmed(semicolon < 0 ? head : head.first(semicolon));
        QByteArrayView group;
        if (const qsizetype dot = name.indexOf('.'); dot >= 0) {
            group = name.first(dot);
            name = name.sliced(dot + 1);
        }
        const QByteArrayView firstValue = line.text.sliced(colon + 1);
        if (equalsNoCase(name, "END") && equalsNoCase(trimmed(firstValue), "VCARD"))
            return true;
        if (equalsNoCase(name, "BEGIN") && equalsNoCase(trimmed(firstValue), "VCARD")) {
            m_error = {card->line, QString(),
                       QStringLiteral("从这一行开始的名片没有 END:VCARD 结尾(第 %1 行又开始了一张新名片),文件可能不完整。")
                           .arg(line.number)};
            return false;
        }

        const QByteArray upperName = name.toByteArray().toUpper();
        const int kind = m_classify(upperName);
        const bool wanted = kind != 0;
        const bool quotedPrintable = containsNoCase(head, "QUOTED-PRINTABLE");
        QByteArray value;
        if (wanted)
            value = firstValue.toByteArray();
        bool softBreak = quotedPrintable && firstValue.endsWith('=');
        Line more;
        while (peekLine(&more)) {
            if (softBreak) {
                // A quoted-printable line ending in "=" goes on in the next, whatever that starts with;
                // the end of the card ends it all the same.
                if (isCardLine(more.text, "END"))
                    break;
                if (wanted) {
                    value.chop(1);
                    value += more.text;
                }
            } else if (!more.text.isEmpty() && isBlank(more.text.front())) {
                if (wanted)
                    value += more.text.sliced(1);
            } else {
                break;
            }
            readLine(&more);
            softBreak = quotedPrintable && more.text.endsWith('=');
        }
        // 2.1 may hold another person's card inside this one (AGENT): stepped over whole.
        if (upperName == "AGENT" && trimmed(firstValue).isEmpty() && peekLine(&more) && isCardLine(more.text, "BEGIN")) {
            skipNestedCard();
            continue;
        }
        if (!wanted)
            continue;
        VCardProperty p;
        p.line = line.number;
        p.group = group.toByteArray().toUpper();
        p.name = upperName;
        p.kind = kind;
        if (semicolon >= 0)
            for (QByteArrayView parameter : splitOutsideQuotes(head.sliced(semicolon + 1), ';'))
                addParameter(&p, parameter);
        if (quotedPrintable && p.encoding.isEmpty())
            p.encoding = "QUOTED-PRINTABLE";
        p.value = std::move(value);
        card->properties.append(std::move(p));
    }
    if (inCard)
        m_error = {card->line, QString(), QStringLiteral("从这一行开始的名片没有 END:VCARD 结尾,文件在第 %1 行就结束了,可能不完整。").arg(m_line)};
    return false;
}

} // namespace exchange
