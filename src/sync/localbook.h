#pragma once
// The address book as a sync sees it, and the only place a sync touches the database: one look at
// the contacts, their links to cards and the groups; and batches of writes, each batch one short
// transaction on the window's thread. Every write is checked against what the look saw, so a
// contact edited in between, or open for editing, is left for the next sync instead of overwritten.

#include "sync/merge.h"
#include "sync/outcome.h"

#include <QSet>

class Connection;

namespace contactsync {

struct LocalContact
{
    qint64 id = 0;
    Side side;
    quint64 print = 0;          // fingerprint() when looked at
};

// A contact's link with its card on the server.
struct Link
{
    QString uid;
    qint64 telid = 0;           // 0: the contact is gone from this database
    QString path;               // the card's path on the server
    QByteArray etag;            // as last seen on the server
    bool confirmed = false;     // false: written before its upload, which may not have reached the server
    QByteArray base;            // encodeHashes() of what both sides held after the last sync
};

struct LocalSnapshot
{
    GroupTable groups;
    QList<LocalContact> contacts;
    QList<Link> links;
    QString bookPath;           // the address book the links belong to; empty before the first sync
    QString syncToken;
    bool listingOnly = false;   // the server refused sync-collection: list the ETags instead
    QSet<QString> busyKeys;     // nameKey() of the contacts to leave alone
};

struct LocalWrite
{
    enum Kind {
        Insert,          // a contact from the server, with its link
        Update,          // new values and group for `telid`, and its link where `withLink`
        MoveToDeleted,   // `telid` into group "Z", its link dropped
        SetLink,         // `link` written; where `check`, only while `telid` is as it was
        DropLink,        // the link of `link.uid`
        SetBook,         // the address book, its token and whether it offers sync-collection
        DropAllLinks,    // another address book: every link goes
    };
    enum Result { Pending, Done, Changed, Busy };

    Kind kind = SetLink;
    qint64 telid = 0;
    bool check = false;         // Update and SetLink: the contact must still have fingerprint `expected`
    quint64 expected = 0;
    Side side;
    Link link;
    bool withLink = false;
    QString bookPath, syncToken;
    bool listingOnly = false;

    Result result = Pending;    // Changed: edited, moved or deleted meanwhile; Busy: open for editing
    QString storedName;         // Insert and Update: the name it was stored under
};

class LocalBook
{
public:
    explicit LocalBook(Connection &db);

    // False while the program has a write of its own open; a sync's write waits for its end.
    bool idle() const;
    // The link table, added to a database made before it.
    Problem prepare();
    Problem read(LocalSnapshot *out, const QStringList &busyNames);
    // All of them in one transaction, committed; or rolled back, nothing written, with the reason.
    Problem write(QList<LocalWrite> &writes, const QStringList &busyNames);

private:
    Connection &m_db;
};

} // namespace contactsync
