#pragma once
// What the parts of one sync pass hand each other.

#include "sync/engine.h"

#include <QHash>
#include <QSet>
#include <optional>

namespace contactsync {

struct SyncEngine::Changes
{
    bool full = false;                  // `etags` holds every card of the address book
    QHash<QString, QByteArray> etags;   // path → ETag of the cards present (all, or those changed)
    QSet<QString> removed;              // removed since the token
    QString token;                      // to ask from next time; empty where ETags were listed
    bool listingOnly = false;
};

struct SyncEngine::Fetched
{
    bool missing = false;               // the server has no card at the path
    QByteArray etag;
    QByteArray card;
};

struct SyncEngine::Step
{
    enum Kind { Put, Create, Delete } kind = Put;
    int write = -1;                     // the local write that must have been done first
    Link link;                          // the link to confirm once done
    Side result;                        // Put, Create: what the card will hold
    QStringList categories;
    QByteArray previous;                // Put: the card it is written over
    QByteArray ifMatch;                 // Put, Delete
    QString serverName;                 // a card new here is written back only where its name changed
    bool onlyIfRenamed = false;
};

struct SyncEngine::Plan
{
    enum Count { Nothing, Downloaded, Moved };
    QList<LocalWrite> writes;
    QList<Count> counts;                // of each write, once done
    QHash<int, QString> reports;        // of a write, once done
    QList<Step> steps;
    bool heldBack = false;              // a contact open for editing was left alone

    int add(const LocalWrite &w, Count count = Nothing, const QString &report = QString())
    {
        writes.append(w);
        counts.append(count);
        if (!report.isEmpty())
            reports.insert(int(writes.size()) - 1, report);
        return int(writes.size()) - 1;
    }
};

// The contact a server's card holds; nothing for a card that is not a person's. `unreadable` is
// set for a card that is not vCard at all.
std::optional<Contact> contactOfCard(const QByteArray &card, bool *unreadable = nullptr);

bool sameSide(const Side &a, const Side &b);
bool changedSince(const Side &side, const Hashes &base);

} // namespace contactsync
