#pragma once
// Names as cards hold them: a family name and a given name. A Chinese name is written family name
// first with no space between (张 + 三 is 张三); a Western one given name first, with spaces.

#include <QString>

namespace exchange {

// True where the text holds a Chinese (Han) character.
bool hasHan(QStringView text);

struct NameParts
{
    QString family;
    QString given;
};

// Splits a stored name: a Chinese one after its family name (one character, or two for the
// compound family names), or at its first blank where it has one; a Western one before its last word.
NameParts splitName(const QString &name);

} // namespace exchange
