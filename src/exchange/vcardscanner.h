#pragma once
// The lines of a vCard file (versions 2.1, 3.0 and 4.0), gathered into cards and properties: folded
// lines joined, the soft line breaks of quoted-printable values joined, property groups and
// parameters taken apart. Values stay the bytes the file holds; decoding them is the reader's part.
// Properties the caller does not want are stepped over without being gathered, however long.

#include "exchange/contact.h"

#include <QByteArray>
#include <QList>

namespace exchange {

struct VCardProperty
{
    int line = 0;               // where it starts
    QByteArray group;           // "ITEM1" of ITEM1.TEL, upper case
    QByteArray name;            // upper case
    int kind = 0;               // what the caller's classification made of the name
    QList<QByteArray> types;    // upper case: the TYPE values and 2.1's bare parameters (CELL, HOME …)
    QByteArray charset;
    QByteArray encoding;        // upper case: QUOTED-PRINTABLE, BASE64, B, 8BIT …
    QByteArray serviceType;     // X-SERVICE-TYPE, upper case
    int pref = 0;               // 1 most preferred; 0 not said
    QByteArray value;           // joined, not decoded

    bool hasType(const char *type) const { return types.contains(QByteArrayView(type)); }
};

struct VCardCard
{
    int line = 0;               // of its BEGIN:VCARD
    QList<VCardProperty> properties;
};

class VCardScanner
{
public:
    // What the caller makes of a property's name; 0 for one it does not want.
    using Classify = int (*)(const QByteArray &upperName);
    VCardScanner(QByteArrayView data, Classify classify);

    // The next card; false at the end of the data and on an error (then error() says which).
    bool next(VCardCard *card);
    const ImportNote &error() const { return m_error; }
    bool sawCard() const { return m_sawCard; }

private:
    struct Line
    {
        QByteArrayView text;
        int number = 0;
    };
    bool readLine(Line *line);
    bool peekLine(Line *line) const;
    void skipNestedCard();

    QByteArrayView m_data;
    Classify m_classify;
    qsizetype m_pos = 0;
    int m_line = 0;
    char m_eol = '\n';
    bool m_sawCard = false;
    ImportNote m_error;
};

} // namespace exchange
