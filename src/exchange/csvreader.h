#pragma once
// Reads comma-separated values as this program's export writes them, and as spreadsheets save them:
// UTF-8 with or without a byte-order mark (without one, text that is not UTF-8 is read as GBK, as a
// spreadsheet on a Chinese system saves it), fields quoted where they hold a comma, a quote or a line
// break, quotes doubled, records ending in CRLF or LF.
//
// The export puts an apostrophe before a text that a spreadsheet would otherwise take for a formula
// (one beginning with "=", "+", "-", "@", a tab, a carriage return, or an apostrophe itself); the
// reader takes exactly one leading apostrophe off every cell, giving back the text as stored. A number
// never begins with one.

#include "exchange/contact.h"

#include <QStringList>

namespace exchange {

struct CsvRow
{
    int line = 0;           // where the record starts, from 1
    QStringList cells;
};

struct CsvTable
{
    QList<CsvRow> rows;     // the headings first
    ImportNote error;       // a file that cannot be read: empty text when it was
};

class CsvReader
{
public:
    static CsvTable read(QByteArrayView bytes);
};

} // namespace exchange
