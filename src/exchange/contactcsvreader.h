#pragma once
// Reads the contacts of a CSV file as this program exports them: the headings name the columns, by
// their names as the settings page's export writes them (Xingm0, Dianh0 Dw …) or by their labels on
// the card (姓名, 办公电话 …), in any order. The 组别 (Zuhao0) column gives each contact's group code
// (Contact::groupCode), which the caller resolves. Rows without a name are left out and reported;
// values too long for their column are moved, never cut (see ContactImport).

#include "exchange/contact.h"

namespace exchange {

class ContactCsvReader
{
public:
    static ContactImport read(QByteArrayView bytes);
    static ContactImport readFile(const QString &path);
};

} // namespace exchange
