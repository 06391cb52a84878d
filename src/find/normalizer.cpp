#include "normalizer.h"

namespace finder {

namespace {

char16_t plain(char16_t c)
{
    if (c >= 0xFF01 && c <= 0xFF5E)
        return char16_t(c - 0xFEE0);
    if (c == 0x3000)
        return u' ';
    return c;
}

} // namespace

char32_t Normalizer::fold(char32_t c)
{
    if (c < 0x80)
        return c < 0x20 || c == 0x7f ? U' ' : (c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (c <= 0xffff)
        c = plain(char16_t(c));
    return c < 0x80 ? fold(c) : QChar::toCaseFolded(c);
}

QString Normalizer::fold(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        out += QChar::fromUcs4(fold(c));
    }
    return out;
}

QString Normalizer::digits(QStringView text)
{
    QString out;
    for (const QChar c : text) {
        const char16_t p = plain(c.unicode());
        if (p >= '0' && p <= '9')
            out += QChar(p);
    }
    return out;
}

bool Normalizer::isPhoneNumber(QStringView text)
{
    bool digit = false;
    for (const QChar c : text) {
        const char16_t p = plain(c.unicode());
        if (p >= '0' && p <= '9')
            digit = true;
        else if (!QStringView(u" -+()./").contains(QChar(p)))
            return false;
    }
    return digit;
}

} // namespace finder
