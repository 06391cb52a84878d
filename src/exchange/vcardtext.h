#pragma once
// The text rules of vCard values: backslash escapes, the components of structured values, and the
// quoted-printable encoding of version 2.1.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace exchange::vcardtext {

// \\ \, \; \: and \n (or \N) undone; any other backslash is kept as it stands.
QString unescaped(QStringView text);
// The parts between unescaped separators, each unescaped.
QStringList split(QStringView text, QChar separator);
// Backslash, comma, semicolon and line feed escaped, as every text value of 3.0 and 4.0 wants them.
QString escaped(QStringView text);

// =XX undone; a "=" not followed by two hexadecimal digits is kept as it stands.
QByteArray fromQuotedPrintable(QByteArrayView text);

} // namespace exchange::vcardtext

namespace exchange::vcardtext {

// How a card this program wrote begins its PRODID: such a card holds every value exactly as stored,
// so its reader takes them as they are, without the clean-up that other programs' cards get.
inline constexpr char kOwnProductPrefix[] = "-//Mivo//";

} // namespace exchange::vcardtext
