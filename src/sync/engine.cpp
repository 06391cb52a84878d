#include "sync/engine.h"

#include "sync/davclient.h"
#include "sync/davxml.h"
#include "sync/engine_p.h"

#include "exchange/vcardreader.h"

namespace contactsync {

namespace {

// A pass that met cards changed by someone else meanwhile is followed by another, up to this many.
constexpr int kPasses = 3;
constexpr int kSmallestBatch = 50;

// How a server says it does not do a report (or not with that token).
bool refusedReport(const DavResponse &r)
{
    return r.status == 501 || (r.status >= 400 && r.status < 500 && r.status != 401 && r.status != 404);
}

} // namespace

std::optional<Contact> contactOfCard(const QByteArray &card, bool *unreadable)
{
    const exchange::ContactImport read = exchange::VCardReader::read(card);
    if (unreadable)
        *unreadable = read.failed();
    if (read.contacts.isEmpty())
        return std::nullopt;
    return read.contacts.constFirst();
}

bool sameSide(const Side &a, const Side &b)
{
    if (a.group != b.group)
        return false;
    for (QString Contact::*f : syncedTexts())
        if (a.contact.*f != b.contact.*f)
            return false;
    return true;
}

bool changedSince(const Side &side, const Hashes &base)
{
    const Hashes now = hashesOf(side.contact, side.group, {});
    for (int i = 0; i <= kGroupSlot; ++i)
        if (now[size_t(i)] != base[size_t(i)])
            return true;
    return false;
}

SyncEngine::SyncEngine(const SyncJob &job, LocalAccess &local, const std::atomic_bool &cancel, Progress progress)
    : m_job(job)
    , m_local(local)
    , m_cancel(cancel)
    , m_progress(std::move(progress))
{
    if (!m_progress)
        m_progress = [](const QString &, qint64, qint64) {};
    m_bookPath = m_job.book.path(QUrl::FullyDecoded);
    if (!m_bookPath.endsWith(QLatin1Char('/')))
        m_bookPath += QLatin1Char('/');
}

Problem SyncEngine::failed(const Problem &p)
{
    if (m_cancel.load())
        return {Failure::Cancelled, {}};
    return p;
}

Outcome SyncEngine::run()
{
    DavClient client(m_job.user, m_job.password, &m_cancel);
    m_client = &client;
    m_outcome = Outcome();
    Problem problem;
    bool again = true;
    for (int i = 0; i < kPasses && again && !problem; ++i) {
        again = false;
        problem = pass(&again);
    }
    if (!problem && again)
        m_outcome.left += 1;   // still changing on the server: the next sync goes on
    m_outcome.failure = problem.failure;
    m_outcome.detail = problem.detail;
    m_outcome.requests = client.requestCount();
    m_client = nullptr;
    return m_outcome;
}

Problem SyncEngine::checkBook()
{
    const DavResponse r = m_client->send(DavRequest::xml("PROPFIND", m_job.book, "0", davxml::discoveryProperties()));
    if (r.status == 207) {
        const davxml::Multistatus ms = davxml::parse(r.body, m_job.book);
        for (const davxml::Resource &res : ms.resources)
            if (res.addressBook)
                return {};
    }
    if (const Problem p = r.problem(); p && p.failure != Failure::ServerRefused)
        return failed(p);
    return {Failure::NotAddressBook, r.status ? QStringLiteral("HTTP %1").arg(r.status) : QString()};
}

Problem SyncEngine::listEtags(Changes *out)
{
    m_progress(QStringLiteral("正在列出服务器上的联系人"), 0, 0);
    const DavResponse r = m_client->send(DavRequest::xml("PROPFIND", m_job.book, "1", davxml::listingProperties()));
    const davxml::Multistatus ms = r.status == 207 ? davxml::parse(r.body, m_job.book) : davxml::Multistatus();
    if (!ms.valid) {
        if (const Problem p = r.problem(); p && p.failure != Failure::ServerRefused)
            return failed(p);
        return {Failure::NotAddressBook, r.status ? QStringLiteral("HTTP %1").arg(r.status) : QString()};
    }
    *out = Changes();
    out->full = true;
    out->listingOnly = true;
    bool book = false;
    for (const davxml::Resource &res : ms.resources) {
        if (res.path == m_bookPath || res.path + QLatin1Char('/') == m_bookPath)
            book = res.addressBook;
        else if (!res.collection && !res.path.endsWith(QLatin1Char('/')) && res.status == 200)
            out->etags.insert(res.path, res.etag);
    }
    if (!book)
        return {Failure::NotAddressBook, {}};
    return {};
}

Problem SyncEngine::listChanges(const LocalSnapshot &snap, Changes *out)
{
    if (snap.listingOnly)
        return listEtags(out);
    m_progress(QStringLiteral("正在列出服务器上的变动"), 0, 0);
    QString token = snap.syncToken;
    *out = Changes();
    out->full = token.isEmpty();
    for (;;) {
        const DavResponse r = m_client->send(DavRequest::xml("REPORT", m_job.book, "0", davxml::syncCollection(token)));
        const davxml::Multistatus ms = r.status == 207 ? davxml::parse(r.body, m_job.book) : davxml::Multistatus();
        if (!ms.valid) {
            if (refusedReport(r) && !token.isEmpty() && !out->full) {
                // The token may have expired: start again from none.
                token.clear();
                *out = Changes();
                out->full = true;
                continue;
            }
            if (refusedReport(r) || r.status == 207)
                return listEtags(out);
            if (r.status == 404)
                return {Failure::NotAddressBook, QStringLiteral("HTTP 404")};
            return failed(r.problem());
        }
        for (const davxml::Resource &res : ms.resources) {
            if (res.path.endsWith(QLatin1Char('/')) || res.path == m_bookPath.chopped(1))
                continue;   // the collection itself, which some servers list
            if (res.status == 404) {
                out->etags.remove(res.path);
                out->removed.insert(res.path);
            } else {
                out->removed.remove(res.path);
                out->etags.insert(res.path, res.etag);
            }
        }
        out->token = ms.syncToken;
        if (!ms.truncated || ms.syncToken.isEmpty() || ms.syncToken == token)
            return {};
        token = ms.syncToken;   // a part came: ask for the rest
    }
}

Problem SyncEngine::fetch(const QStringList &paths, QHash<QString, Fetched> *out)
{
    // As many cards a request as the server takes: one that refuses a large request gets smaller ones.
    int per = qMax(1, m_job.cardsPerRequest);
    for (qsizetype from = 0; from < paths.size();) {
        m_progress(QStringLiteral("正在下载联系人"), from, paths.size());
        const QStringList part = paths.mid(from, per);
        const DavResponse r = m_client->send(DavRequest::xml("REPORT", m_job.book, "1", davxml::multiget(m_job.book, part)));
        const bool tooMany = r.status == 413 || r.status == 414 || r.status == 400 || r.status == 507 || r.status >= 500;
        if (r.status != 207 && tooMany && per > kSmallestBatch) {
            per = qMax(kSmallestBatch, per / 4);
            continue;
        }
        if (r.status != 207)
            return failed(r.problem() ? r.problem() : Problem{Failure::ServerRefused, QStringLiteral("HTTP %1").arg(r.status)});
        const davxml::Multistatus ms = davxml::parse(r.body, m_job.book);
        if (!ms.valid)
            return {Failure::ServerRefused, QStringLiteral("multistatus")};
        // Only a card the server says it has not is missing; one it leaves out is asked for next time.
        for (const davxml::Resource &res : ms.resources)
            if (res.status == 404)
                out->insert(res.path, Fetched{true, {}, {}});
            else if (res.status == 200 && !res.card.isEmpty())
                out->insert(res.path, Fetched{false, res.etag, res.card});
        from += part.size();
    }
    return {};
}

Problem SyncEngine::pass(bool *again)
{
    LocalSnapshot snap;
    if (const Problem p = m_local.read(&snap))
        return failed(p);
    if (snap.bookPath != m_bookPath) {
        // Another address book than the links belong to (or the first sync): they all go.
        if (const Problem p = checkBook())
            return p;
        QList<LocalWrite> reset{LocalWrite{}, LocalWrite{}};
        reset[0].kind = LocalWrite::DropAllLinks;
        reset[1].kind = LocalWrite::SetBook;
        reset[1].bookPath = m_bookPath;
        bool clean = true;
        if (const Problem p = writeHere(reset, &clean))
            return p;
        snap.links.clear();
        snap.bookPath = m_bookPath;
        snap.syncToken.clear();
        snap.listingOnly = false;
    }

    Changes changes;
    if (const Problem p = listChanges(snap, &changes))
        return p;

    // The cards to fetch: those changed there, those changed here (to write over the server's
    // current card), links whose upload is not confirmed, and cards new to this side.
    QHash<qint64, const LocalContact *> byId;
    for (const LocalContact &c : snap.contacts)
        byId.insert(c.id, &c);
    QStringList paths;
    QSet<QString> linkedPaths;
    for (const Link &link : snap.links) {
        linkedPaths.insert(link.path);
        const LocalContact *here = byId.value(link.telid);
        if (here && snap.busyKeys.contains(exchange::nameKey(here->side.contact.name)))
            continue;
        if (changes.removed.contains(link.path) || (changes.full && !changes.etags.contains(link.path)))
            continue;
        const auto reported = changes.etags.constFind(link.path);
        const bool changedThere = reported != changes.etags.cend() && *reported != link.etag;
        const bool changedHere = here && !GroupTable::isDeleted(here->side.group)
            && changedSince(here->side, decodeHashes(link.base).value_or(Hashes{}));
        if (!link.confirmed || changedThere || changedHere)
            paths.append(link.path);
    }
    for (auto it = changes.etags.cbegin(); it != changes.etags.cend(); ++it)
        if (!linkedPaths.contains(it.key()))
            paths.append(it.key());

    QHash<QString, Fetched> fetched;
    if (const Problem p = fetch(paths, &fetched))
        return p;

    Plan work;
    plan(snap, changes, fetched, &work);
    bool clean = !work.heldBack;
    for (const QString &p : std::as_const(paths))
        clean &= fetched.contains(p);
    if (const Problem p = writeHere(work.writes, &clean))
        return p;
    for (int i = 0; i < work.writes.size(); ++i) {
        if (work.writes.at(i).result != LocalWrite::Done)
            continue;
        if (work.counts.at(i) == Plan::Downloaded)
            ++m_outcome.downloaded;
        else if (work.counts.at(i) == Plan::Moved)
            ++m_outcome.movedToDeleted;
        if (work.reports.contains(i))
            m_outcome.report.append(work.reports.value(i));
        const LocalWrite &w = work.writes.at(i);
        if (!w.storedName.isEmpty() && w.storedName != w.side.contact.name)
            m_outcome.report.append(QStringLiteral("%1: 与本机已有的联系人重名,存为“%2”。").arg(w.side.contact.name, w.storedName));
    }
    if (const Problem p = writeThere(work, again, &clean))
        return p;

    // The token only once everything it reported is done here: what was left is reported again.
    if (clean && !*again && (changes.token != snap.syncToken || changes.listingOnly != snap.listingOnly)) {
        QList<LocalWrite> book{LocalWrite{}};
        book[0].kind = LocalWrite::SetBook;
        book[0].bookPath = m_bookPath;
        book[0].syncToken = changes.token;
        book[0].listingOnly = changes.listingOnly;
        if (const Problem p = writeHere(book, &clean))
            return p;
    }
    return {};
}

} // namespace contactsync
