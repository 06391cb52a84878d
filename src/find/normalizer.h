#pragma once
// What a typed text and a stored text are compared as: letters without case, full-width letters, digits
// and signs as their plain forms (ＺＳ, １３８ → zs, 138), phone numbers as their digits alone.

#include <QString>
#include <QStringView>

namespace finder {

class Normalizer
{
public:
    // Full-width forms and the ideographic space to plain ones, case folded, control characters to blanks.
    static QString fold(QStringView text);
    // The same for one character.
    static char32_t fold(char32_t c);
    // The digits of a text, full-width ones as plain: "138 0013" → "1380013".
    static QString digits(QStringView text);
    // Whether a typed text reads as (part of) a phone number: digits, with blanks and the signs
    // people write between them ("+86 (010) 6512-3456").
    static bool isPhoneNumber(QStringView text);
};

} // namespace finder
