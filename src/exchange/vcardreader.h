#pragma once
// Reads the contacts of a vCard file: versions 2.1, 3.0 and 4.0; UTF-8, and the charsets older phones
// declare (GB2312, GBK, GB18030, BIG5) with quoted-printable or BASE64 values; folded lines; property
// groups; any number of cards; a byte-order mark. Photos, sounds, keys and whatever else the address
// book has no place for are stepped over, however large.
//
// A file that is not vCard (no BEGIN:VCARD), a card cut off before its END:VCARD, and a value that is
// not text in its declared charset refuse the whole file, with the reason and the line. Cards without
// a name are left out and reported; values too long for their column are moved, never cut, and
// reported (see ContactImport).

#include "exchange/contact.h"

namespace exchange {

class VCardReader
{
public:
    static ContactImport read(QByteArrayView bytes);
    static ContactImport readFile(const QString &path);
};

} // namespace exchange
