#include "exchange/vcardtext.h"

namespace exchange::vcardtext {

namespace {

QChar unescapedChar(QChar c, bool *known)
{
    *known = true;
    switch (c.unicode()) {
    case u'n':
    case u'N':
        return QLatin1Char('\n');
    case u'\\':
    case u',':
    case u';':
    case u':':
        return c;
    default:
        *known = false;
        return c;
    }
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

QString unescaped(QStringView text)
{
    if (!text.contains(QLatin1Char('\\')))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            bool known = false;
            const QChar next = unescapedChar(text.at(i + 1), &known);
            if (known) {
                out += next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QStringList split(QStringView text, QChar separator)
{
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\')) {
            ++i;
        } else if (c == separator) {
            parts.append(unescaped(text.sliced(start, i - start)));
            start = i + 1;
        }
    }
    parts.append(unescaped(text.sliced(qMin(start, text.size()))));
    return parts;
}

QString escaped(QStringView text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u',':
            out += QLatin1String("\\,");
            break;
        case u';':
            out += QLatin1String("\\;");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QByteArray fromQuotedPrintable(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '=' && i + 2 < text.size()) {
            const int high = hexValue(text.at(i + 1)), low = hexValue(text.at(i + 2));
            if (high >= 0 && low >= 0) {
                out += char(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace exchange::vcardtext
