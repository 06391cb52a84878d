#pragma once
// Telephone numbers as other address books write them, made into what this one keeps.

#include <QString>

namespace exchange {

// Blanks, dashes, dots between groups and brackets out, full-width digits made plain, a "tel:" address
// reduced to its number; a leading +86 or 0086 off a Chinese mobile number.
QString normalizedPhone(const QString &number);

// Eleven digits beginning 13 to 19.
bool isChineseMobile(QStringView number);

} // namespace exchange
