#pragma once
// The address book's exchange with files as the user goes through it. Import: the file dialog, the
// question about names already taken (asked once for the whole file), the counts before anything is
// written, a progress dialog that can cancel, and the report of what was stored and what was not.
// Export: the contacts of a group, or all of them, as vCard 3.0 or as a spreadsheet.
//
// Boxes: "T12" the file cannot be imported (the reason and its line), "T13" names taken: Yes fills
// the stored contacts' empty fields, No keeps both, Cancel (preselected) skips them; "T14" the counts,
// Yes/No, No preselected; "T15" the database refused, nothing stored; "T16" the report; "T17" exported;
// "T18" the export failed; "T19" no contacts to export.

#include <QString>

class Connection;
class QWidget;

namespace addressbook {

class ContactTransfer
{
public:
    ContactTransfer(Connection &db, QWidget *parent);

    // How long writing runs before its progress dialog shows (tests shorten it).
    int progressAfterMs = 400;

    // Asks for a file and imports it into group `groupCode` ("%": the root, each contact into the
    // group its card names). True when contacts were stored.
    bool importContacts(const QString &groupCode);
    // The same for a file already chosen.
    bool importFile(const QString &path, const QString &groupCode);

    // Asks for a file and writes the contacts of group `groupCode` ("%": all) to it, as vCard or as
    // the spreadsheet the file's suffix (or the filter chosen) names; `groupName` names the file
    // proposed. True when the file was written.
    bool exportContacts(const QString &groupCode, const QString &groupName);

private:
    Connection &m_db;
    QWidget *m_parent;
};

} // namespace addressbook
