#pragma once
// Bringing the contacts of a file into the address book: what a file read gives is first planned
// against the database (which group each contact goes to, which name clashes with a stored one and
// what becomes of it), so the user can be shown the counts before anything is written; then the
// plan is written in one transaction, all of it or, after a failure or a cancel, nothing.

#include "exchange/contact.h"

#include "app/connection.h"

#include <QHash>
#include <functional>

namespace addressbook {

// What happens to a contact whose name is already taken (names compare without regard to case).
enum class NameClash {
    Skip,       // the stored one stays as it is
    KeepBoth,   // the new one is stored as "张三 (2)"
    FillEmpty,  // the stored one takes the new one's values where its own fields are empty
};

struct PlannedContact
{
    enum Kind { Add, Fill };
    Kind kind = Add;
    exchange::Contact contact;  // with its group code and the name it is stored under
    qint64 id = 0;              // Fill: the stored contact
};

struct ImportPlan
{
    QList<PlannedContact> writes;
    int added = 0;      // cards that become new contacts
    int merged = 0;     // cards whose values filled a stored contact's empty fields
    int skipped = 0;    // cards left out: no name, a skipped clash, nothing left to fill
    // What the user is told after the import: values moved to 备注 or 交往记录, cards left out.
    QList<exchange::ImportNote> notes;
};

class ContactImporter
{
public:
    explicit ContactImporter(Connection &db);

    // A vCard file, or this program's CSV where the name ends in ".csv".
    static exchange::ContactImport readFile(const QString &path);

    // Reads the groups and the stored names; a failure's reason for the user.
    DbResult load();

    // Cards of `file` whose names are taken, by a stored contact or by an earlier card of the file.
    int clashes(const exchange::ContactImport &file) const;
    // The first of them, for the question.
    QString firstClash(const exchange::ContactImport &file) const;

    // The plan for the contacts of `file`, opened on group `menuGroup` ("%" for the root). A contact
    // goes into a group its 组别 (the CSV's) names, else into `menuGroup`; from the root, into the
    // group its CATEGORIES name, else into the first group but "Z". Fails (nothing planned) when a
    // contact has no group to go to, or the stored contact to fill cannot be read.
    DbResult plan(const exchange::ContactImport &file, const QString &menuGroup, NameClash clash, ImportPlan *out) const;

    // (contacts written, contacts in all) -> false to cancel. Called before the first and after each step.
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    enum class Outcome { Stored, Cancelled, Failed };
    // Writes the plan in one transaction and commits it; a cancel or a failure rolls all of it back,
    // a failure with its reason in `failure`. Refused while the connection holds a transaction of
    // another writer, which a rollback would take with it.
    Outcome write(const ImportPlan &plan, const Progress &progress, DbResult *failure);

private:
    QString groupOf(const exchange::Contact &c, const QString &menuGroup) const;
    DbResult storedContact(qint64 id, exchange::Contact *out) const;

    Connection &m_db;
    QList<QPair<QString, QString>> m_groups;    // code, name; in code order
    QHash<QString, qint64> m_stored;            // nameKey() -> id
};

} // namespace addressbook
