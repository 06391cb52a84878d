#pragma once
// One sync of the address book with an address book on a CardDAV server, run on a worker thread.
// It lists what changed on the server (sync-collection where offered, else the ETags of all
// cards), fetches the cards it needs in batches (addressbook-multiget), merges, writes this side
// through LocalAccess and the server with If-Match / If-None-Match, so that a card changed by
// someone else meanwhile is never overwritten. Every step leaves both sides consistent: a link is
// written before its card is uploaded, a sync token only once all it reported is done, so a sync
// cut off anywhere is completed by the next one.

#include "sync/localbook.h"
#include "sync/outcome.h"

#include <QDate>
#include <QUrl>
#include <atomic>
#include <functional>

namespace contactsync {

// How the engine reaches the database: each call runs on the window's thread between events.
class LocalAccess
{
public:
    virtual ~LocalAccess() = default;
    virtual Problem read(LocalSnapshot *out) = 0;
    virtual Problem write(QList<LocalWrite> &writes) = 0;
};

struct SyncJob
{
    QUrl book;                  // the address book's URL
    QString user;
    QString password;
    QDate today;                // the date of notes written into 交往记录
    int cardsPerRequest = 5000; // of a multiget, at first
};

using Progress = std::function<void(const QString &step, qint64 done, qint64 total)>;

class SyncEngine
{
public:
    SyncEngine(const SyncJob &job, LocalAccess &local, const std::atomic_bool &cancel, Progress progress = {});
    Outcome run();

private:
    struct Changes;
    struct Fetched;
    struct Step;
    struct Plan;

    Problem pass(bool *again);
    Problem checkBook();
    Problem listChanges(const LocalSnapshot &snap, Changes *out);
    Problem listEtags(Changes *out);
    Problem fetch(const QStringList &paths, QHash<QString, Fetched> *out);
    void plan(const LocalSnapshot &snap, const Changes &changes, const QHash<QString, Fetched> &fetched, Plan *out);
    Problem writeHere(QList<LocalWrite> &writes, bool *clean);
    Problem writeThere(Plan &plan, bool *again, bool *clean);
    Problem failed(const Problem &p);

    SyncJob m_job;
    QString m_bookPath;
    LocalAccess &m_local;
    const std::atomic_bool &m_cancel;
    Progress m_progress;
    class DavClient *m_client = nullptr;
    Outcome m_outcome;
};

} // namespace contactsync
