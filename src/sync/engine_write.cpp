// The writes of a pass: this side's in batches, each one transaction on the window's thread; then
// the server's, several at a time, each batch's outcome written here as soon as it is known.

#include "sync/engine.h"

#include "sync/davclient.h"
#include "sync/davxml.h"
#include "sync/engine_p.h"

#include "exchange/vcardwriter.h"

namespace contactsync {

namespace {

// Writes a transaction; small enough that the window never waits long for its turn.
constexpr int kWritesPerTransaction = 400;
// Server writes between two records of their outcome here.
constexpr int kStepsPerRound = 64;
constexpr int kParallel = 4;

QByteArray cardOf(const Contact &contact, const QByteArray &previous)
{
    const bool v4 = previous.contains("\nVERSION:4.0");
    const exchange::VCardWriter writer(v4 ? exchange::VCardVersion::V40 : exchange::VCardVersion::V30);
    return previous.isEmpty() ? writer.card(contact) : writer.cardOver(contact, previous);
}

} // namespace

Problem SyncEngine::writeHere(QList<LocalWrite> &writes, bool *clean)
{
    for (qsizetype from = 0; from < writes.size(); from += kWritesPerTransaction) {
        if (m_cancel.load())
            return {Failure::Cancelled, {}};
        if (writes.size() > kWritesPerTransaction)
            m_progress(QStringLiteral("正在写入本机"), from, writes.size());
        QList<LocalWrite> part = writes.mid(from, kWritesPerTransaction);
        if (const Problem p = m_local.write(part))
            return failed(p);
        for (qsizetype i = 0; i < part.size(); ++i) {
            writes[from + i] = part.at(i);
            if (part.at(i).result == LocalWrite::Changed || part.at(i).result == LocalWrite::Busy) {
                ++m_outcome.left;
                *clean = false;
            }
        }
    }
    return {};
}

Problem SyncEngine::writeThere(Plan &work, bool *again, bool *clean)
{
    QList<Step *> ready;
    for (Step &s : work.steps) {
        if (s.write >= 0) {
            const LocalWrite &w = work.writes.at(s.write);
            if (w.result != LocalWrite::Done)
                continue;
            if (w.kind == LocalWrite::Insert)
                s.link.telid = w.telid;
            if (!w.storedName.isEmpty())
                s.result.contact.name = w.storedName;
        }
        if (s.onlyIfRenamed && s.result.contact.name == s.serverName)
            continue;
        ready.append(&s);
    }

    int done = 0;
    for (qsizetype from = 0; from < ready.size(); from += kStepsPerRound) {
        if (m_cancel.load())
            return {Failure::Cancelled, {}};
        const QList<Step *> round = ready.mid(from, kStepsPerRound);
        QList<DavRequest> requests;
        for (const Step *s : round) {
            DavRequest r;
            r.url = davxml::urlOf(m_job.book, s->link.path);
            if (s->kind == Step::Delete) {
                r.verb = "DELETE";
            } else {
                Contact c = s->result.contact;
                c.categories = s->categories;
                r.verb = "PUT";
                r.body = cardOf(c, s->previous);
                r.headers.append(std::pair<QByteArray, QByteArray>("Content-Type", "text/vcard; charset=utf-8"));
            }
            if (s->kind == Step::Create)
                r.headers.append(std::pair<QByteArray, QByteArray>("If-None-Match", "*"));
            else
                r.headers.append(std::pair<QByteArray, QByteArray>("If-Match", davxml::quotedEtag(s->ifMatch)));
            requests.append(r);
        }
        const QList<DavResponse> answers = m_client->sendAll(requests, kParallel, [&](int n) {
            m_progress(QStringLiteral("正在上传到服务器"), done + n, ready.size());
        });
        done += int(round.size());

        // What the server did is written here before anything else is looked at.
        QList<LocalWrite> records;
        Problem stop;
        for (qsizetype i = 0; i < round.size(); ++i) {
            const Step &s = *round.at(i);
            const DavResponse &a = answers.at(i);
            LocalWrite w;
            w.link = s.link;
            if (a.success() || (s.kind == Step::Delete && a.status == 404)) {
                if (s.kind == Step::Delete) {
                    w.kind = LocalWrite::DropLink;
                    m_outcome.deletedOnServer += a.success() ? 1 : 0;
                } else {
                    w.kind = LocalWrite::SetLink;
                    w.link.confirmed = true;
                    w.link.etag = davxml::plainEtag(a.etag);
                    w.link.base = encodeHashes(hashesOf(s.result.contact, s.result.group, s.categories));
                    ++m_outcome.uploaded;
                }
                records.append(w);
            } else if (a.status == 412 || a.status == 404) {
                *again = true;   // changed or deleted there meanwhile: the next pass merges
            } else if (a.answered() && a.status != 401) {
                *clean = false;
                m_outcome.report.append(QStringLiteral("%1: 服务器拒绝了这张卡片(HTTP %2)。")
                                            .arg(s.kind == Step::Delete ? s.link.path : s.result.contact.name)
                                            .arg(a.status));
            } else if (!stop) {
                stop = failed(a.problem());
            }
        }
        if (const Problem p = writeHere(records, clean))
            return p;
        if (stop)
            return stop;
    }
    return {};
}

} // namespace contactsync
