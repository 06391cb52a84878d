#include "exchange/phonenumber.h"

namespace exchange {

bool isChineseMobile(QStringView number)
{
    if (number.size() != 11 || number.at(0) != QLatin1Char('1') || number.at(1) < QLatin1Char('3'))
        return false;
    for (QChar c : number)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QString normalizedPhone(const QString &number)
{
    QStringView text = QStringView(number).trimmed();
    if (text.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive)) {
        text = text.mid(4);
        // tel:+86-10-1234;ext=5: the parameters are not part of the number.
        if (const qsizetype semicolon = text.indexOf(QLatin1Char(';')); semicolon >= 0)
            text = text.left(semicolon);
    }
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19)              // full-width digits
            out += QChar(u'0' + (u - 0xFF10));
        else if (u == 0xFF0B)                         // full-width plus
            out += QLatin1Char('+');
        else if (c.isSpace() || u == u'-' || u == u'.' || u == u'(' || u == u')' || u == u'[' || u == u']'
                 || u == 0xFF08 || u == 0xFF09 || u == 0xFF0D || (u >= 0x2010 && u <= 0x2015))
            continue;                                 // blanks, dashes, brackets (also full-width)
        else
            out += c;
    }
    for (const QLatin1String prefix : {QLatin1String("+86"), QLatin1String("0086")})
        if (out.startsWith(prefix) && isChineseMobile(QStringView(out).mid(prefix.size())))
            return out.mid(prefix.size());
    return out;
}

} // namespace exchange
