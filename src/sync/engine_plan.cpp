// What one pass does to each contact, decided from the look at this side, the server's changes and
// the cards fetched: the local writes, and the server's writes that follow them.

#include "sync/engine.h"
#include "sync/engine_p.h"

#include <QUuid>

namespace contactsync {

void SyncEngine::plan(const LocalSnapshot &snap, const Changes &changes, const QHash<QString, Fetched> &fetched, Plan *out)
{
    const GroupTable &groups = snap.groups;
    const QString deletedCode = groups.deletedCode();
    const QString deletedName = groups.nameOf(deletedCode).isEmpty() ? deletedCode : groups.nameOf(deletedCode);
    QHash<qint64, const LocalContact *> byId;
    for (const LocalContact &c : snap.contacts)
        byId.insert(c.id, &c);
    auto busy = [&](const LocalContact *c) { return c && snap.busyKeys.contains(exchange::nameKey(c->side.contact.name)); };
    auto readable = [&](const Fetched &f, const QString &path) -> std::optional<Contact> {
        bool unreadable = false;
        std::optional<Contact> c = contactOfCard(f.card, &unreadable);
        // Said, not held back for: the card is listed again once someone mends it.
        if (unreadable)
            m_outcome.report.append(QStringLiteral("服务器上的卡片 %1 不是有效的 vCard,没有同步。").arg(path));
        return c;
    };
    auto put = [&](Step::Kind kind, int write, const Link &link, const Side &result, const QStringList &categories,
                   const QByteArray &previous, const QByteArray &ifMatch) {
        Step s;
        s.kind = kind;
        s.write = write;
        s.link = link;
        s.result = result;
        s.categories = categories;
        s.previous = previous;
        s.ifMatch = ifMatch;
        out->steps.append(s);
        return &out->steps.last();
    };
    auto deleteThere = [&](int write, const Link &link, const QByteArray &etag) {
        put(Step::Delete, write, link, {}, {}, {}, etag);
    };

    QSet<qint64> linked;
    QSet<QString> linkedPaths, uids;
    for (const Link &link : snap.links) {
        linked.insert(link.telid);
        linkedPaths.insert(link.path);
        uids.insert(link.uid);
        const LocalContact *here = link.telid ? byId.value(link.telid) : nullptr;
        if (busy(here)) {
            ++m_outcome.left;
            out->heldBack = true;
            continue;
        }
        const auto f = fetched.constFind(link.path);
        const bool got = f != fetched.cend() && !f->missing;
        bool present = true;
        QByteArray etag = link.etag;
        if (changes.removed.contains(link.path) || (f != fetched.cend() && f->missing))
            present = false;
        else if (changes.etags.contains(link.path))
            etag = changes.etags.value(link.path);
        else if (changes.full)
            present = false;
        if (got)
            etag = f->etag;
        const bool changedThere = present && (!link.confirmed || etag != link.etag);
        const bool inDeleted = here && GroupTable::isDeleted(here->side.group);
        const Hashes base = decodeHashes(link.base).value_or(Hashes{});
        LocalWrite w;
        w.link = link;
        w.telid = link.telid;

        if (!present) {
            if (here && !inDeleted && !link.confirmed) {
                // Its upload never reached the server: upload it now.
                const QStringList categories = groups.categoriesFor(here->side.group, {});
                Link again = link;
                again.base = encodeHashes(hashesOf(here->side.contact, here->side.group, categories));
                w.kind = LocalWrite::SetLink;
                w.check = true;
                w.expected = here->print;
                w.link = again;
                Side side = here->side;
                side.contact.uid = link.uid;
                put(Step::Create, out->add(w), again, side, categories, {}, {});
            } else if (here && !inDeleted) {
                w.kind = LocalWrite::MoveToDeleted;
                w.side.group = deletedCode;
                out->add(w, Plan::Moved,
                         QStringLiteral("%1: 服务器上已删除,已移入“%2”组。").arg(here->side.contact.name, deletedName));
            } else {
                w.kind = LocalWrite::DropLink;
                out->add(w);
            }
            continue;
        }

        if (!here || inDeleted) {
            // Deleted here: the card goes too. Where someone changed it meanwhile, their version is
            // kept here in the deleted contacts' group first.
            std::optional<Contact> server = changedThere && got ? readable(*f, link.path) : std::nullopt;
            if (changedThere && got && !server)
                continue;   // not a card this side can keep: it stays on the server
            int write = -1;
            if (server && !here) {
                w.kind = LocalWrite::Insert;
                w.side = {*server, deletedCode};
                w.link.etag = etag;
                w.link.confirmed = true;
                write = out->add(w, Plan::Nothing,
                                 QStringLiteral("%1: 本机已删除,服务器上却又改过;改过的已存入“%2”组,服务器上的已删除。")
                                     .arg(server->name, deletedName));
            } else if (server) {
                Side local = here->side;
                local.contact.uid.clear();
                Merged m = merge(base, local, *server, groups, m_job.today);
                m.side.group = here->side.group;
                if (!sameSide(m.side, here->side)) {
                    w.kind = LocalWrite::Update;
                    w.check = true;
                    w.expected = here->print;
                    w.side = m.side;
                    write = out->add(w);
                }
            }
            deleteThere(write, link, etag);
            continue;
        }

        if (!changedThere && !changedSince(here->side, base))
            continue;
        if (!got)
            continue;   // nothing to merge with; the next sync fetches it
        const std::optional<Contact> server = readable(*f, link.path);
        if (!server)
            continue;
        Side local = here->side;
        local.contact.uid.clear();
        const Merged m = merge(base, local, *server, groups, m_job.today);
        Link after = link;
        after.etag = f->etag;
        after.confirmed = true;
        after.base = encodeHashes(hashesOf(m.side.contact, m.side.group, server->categories));
        const QString report = m.conflicts.isEmpty()
            ? QString()
            : QStringLiteral("%1: 本机和服务器都改了%2,保留了服务器上的,本机的值已记入交往记录。")
                  .arg(m.side.contact.name, m.conflicts.join(QStringLiteral("、")));
        int write = -1;
        if (!sameSide(m.side, here->side)) {
            w.kind = LocalWrite::Update;
            w.check = true;
            w.expected = here->print;
            w.side = m.side;
            w.withLink = !m.toServer;
            w.link = after;
            write = out->add(w, Plan::Downloaded, report);
        } else if (!m.toServer) {
            w.kind = LocalWrite::SetLink;
            w.link = after;
            out->add(w);
        }
        // A name taken here by another contact is stored under one of its own, which goes up too.
        Step *up = m.toServer || write >= 0
            ? put(Step::Put, write, after, m.side, groups.categoriesFor(m.side.group, server->categories), f->card, f->etag)
            : nullptr;
        if (up && !m.toServer) {
            up->onlyIfRenamed = true;
            up->serverName = m.side.contact.name;
        }
    }

    // Contacts new here go up; the link first, so that a sync cut off after the upload knows the card.
    for (const LocalContact &c : snap.contacts) {
        if (linked.contains(c.id) || GroupTable::isDeleted(c.side.group) || busy(&c))
            continue;
        const QString uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        const QStringList categories = groups.categoriesFor(c.side.group, {});
        LocalWrite w;
        w.kind = LocalWrite::SetLink;
        w.telid = c.id;
        w.check = true;
        w.expected = c.print;
        w.link = {uid, c.id, m_bookPath + uid + QStringLiteral(".vcf"), {}, false,
                  encodeHashes(hashesOf(c.side.contact, c.side.group, categories))};
        Side side = c.side;
        side.contact.uid = uid;
        put(Step::Create, out->add(w), w.link, side, categories, {}, {});
    }

    // Cards new to this side come down, under a name of their own where theirs is taken here.
    for (auto it = changes.etags.cbegin(); it != changes.etags.cend(); ++it) {
        const auto f = fetched.constFind(it.key());
        if (linkedPaths.contains(it.key()) || f == fetched.cend() || f->missing)
            continue;
        const std::optional<Contact> server = readable(*f, it.key());
        if (!server)
            continue;
        QString group = groups.codeOf(server->categories);
        if (group.isEmpty())
            group = groups.defaultCode();
        const QString uid = !server->uid.isEmpty() && !uids.contains(server->uid) ? server->uid : it.key();
        uids.insert(uid);
        LocalWrite w;
        w.kind = LocalWrite::Insert;
        w.side = {*server, group};
        w.link = {uid, 0, it.key(), f->etag, true, encodeHashes(hashesOf(*server, group, server->categories))};
        Step *s = put(Step::Put, out->add(w, Plan::Downloaded), w.link, w.side,
                      groups.categoriesFor(group, server->categories), f->card, f->etag);
        s->onlyIfRenamed = true;
        s->serverName = server->name;
    }
}

} // namespace contactsync
