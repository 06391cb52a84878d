#pragma once
// A contact being read from a file: the values found so far, and the texts that have no column of
// their own (a second mobile number, a second address). Finishing it makes every value fit its
// column without cutting any: what is too long, and what has no column, is added to 备注 as
// "label: text", or to 交往记录 where 备注 has no room left, and each move of a too-long value is
// reported with the contact's name.

#include "exchange/contact.h"

namespace exchange {

class ContactDraft
{
public:
    Contact contact;

    // A text for 备注, after the card's own note, as "label: text".
    void addExtra(const QString &label, const QString &text);

    // Makes the values fit (see above) and appends a warning for each moved value.
    Contact finish(int line, QList<ImportNote> *warnings);

private:
    struct Extra
    {
        QString label;
        QString text;
        bool tooLong = false;   // moved out of its own column
        int width = 0;
        bool bare = false;      // the card's own note, moved without a label
    };
    QList<Extra> m_extras;
};

} // namespace exchange
