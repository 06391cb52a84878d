#include "notebook/searchindex.h"

#include "app/connection.h"
#include "app/schema.h"
#include "app/sqlerror.h"
#include "app/writepause.h"

#include <QElapsedTimer>
#include <QThread>
#include <sqlite3.h>
#include <algorithm>

namespace notesearch {

namespace {

// What there is of the index, with the table that marks a build under way. Only triggers of its
// names that sit on p_info and an FTS table of its name count, so an object of someone else's that
// took a name is neither taken for it nor removed with it.
const char *const kObjects =
    "SELECT type, name FROM sqlite_master WHERE (type = 'trigger' AND lower(tbl_name) = 'p_info' "
    "AND lower(name) IN ('p_info_fts_ai', 'p_info_fts_ad', 'p_info_fts_au')) "
    "OR (type = 'table' AND lower(name) = 'p_info_fts' AND sql LIKE 'CREATE VIRTUAL TABLE%fts5%') "
    "OR (type = 'table' AND lower(name) = 'p_info_indexing')";

// While the build runs, the triggers keep exact only the notes it has done; it takes the others
// as they are when it reaches them.
const char *const kBuildingTriggers = R"(
CREATE TABLE p_info_indexing (upto INTEGER NOT NULL);
INSERT INTO p_info_indexing SELECT coalesce(min(id), 1) - 1 FROM p_info;
CREATE TRIGGER p_info_fts_ai AFTER INSERT ON p_info BEGIN
  INSERT INTO p_info_fts (rowid, title, content) SELECT new.id, new.title, new.content
  WHERE new.id <= (SELECT upto FROM p_info_indexing);
END;
CREATE TRIGGER p_info_fts_ad AFTER DELETE ON p_info BEGIN
  INSERT INTO p_info_fts (p_info_fts, rowid, title, content) SELECT 'delete', old.id, old.title, old.content
  WHERE old.id <= (SELECT upto FROM p_info_indexing);
END;
CREATE TRIGGER p_info_fts_au AFTER UPDATE OF id, title, content ON p_info BEGIN
  INSERT INTO p_info_fts (p_info_fts, rowid, title, content) SELECT 'delete', old.id, old.title, old.content
  WHERE old.id <= (SELECT upto FROM p_info_indexing);
  INSERT INTO p_info_fts (rowid, title, content) SELECT new.id, new.title, new.content
  WHERE new.id <= (SELECT upto FROM p_info_indexing);
END;
)";

// The index's part of the schema, between its marks, cut before its first trigger: a built index
// is the one a new database has.
QByteArray indexSchema(bool triggers)
{
    const QString schema = schemaSql();
    const qsizetype from = schema.indexOf(QStringLiteral("-- search index: begin"));
    const qsizetype to = schema.indexOf(QStringLiteral("-- search index: end"));
    const qsizetype firstTrigger = schema.indexOf(QStringLiteral("CREATE TRIGGER"), from);
    Q_ASSERT(from >= 0 && firstTrigger > from && to > firstTrigger);
    return (triggers ? schema.mid(firstTrigger, to - firstTrigger) : schema.mid(from, firstTrigger - from)).toUtf8();
}

// A failed statement: its extended code, and the reason as the user is told it.
struct Failure
{
    int code = SQLITE_OK;
    QString reason;
};

struct Statement
{
    sqlite3_stmt *s = nullptr;
    ~Statement() { sqlite3_finalize(s); }
};

IndexState stateOf(sqlite3 *h)
{
    Statement st;
    int parts = 0;
    bool building = false;
    if (sqlite3_prepare_v2(h, kObjects, -1, &st.s, nullptr) == SQLITE_OK)
        while (sqlite3_step(st.s) == SQLITE_ROW) {
            if (qstricmp(reinterpret_cast<const char *>(sqlite3_column_text(st.s, 1)), "p_info_indexing") == 0)
                building = true;
            else
                ++parts;
        }
    return parts < 4 ? IndexState::Missing : building ? IndexState::Building : IndexState::Complete;
}

class Builder
{
public:
    explicit Builder(sqlite3 *h)
        : m_h(h)
    {
    }

    // One transaction: the first makes or finds the index; each later one adds up to `notes` notes
    // and the last puts in the schema's own triggers. Rolled back on failure. Each reads afresh
    // what the file holds, so another build of it (another program's) is never repeated.
    Failure step(qint64 notes)
    {
        if (Failure f = exec("BEGIN IMMEDIATE"); f.code)
            return f;
        Failure f = m_started && stateOf(m_h) == IndexState::Building ? fill(notes) : start();
        if (!f.code)
            f = exec("COMMIT");
        if (f.code) {
            sqlite3_exec(m_h, "ROLLBACK", nullptr, nullptr, nullptr);
            return f;
        }
        m_started = true;
        m_done = m_next.done;
        m_total = m_next.total;
        m_upto = m_next.upto;
        m_complete = m_next.complete;
        return {};
    }

    bool complete() const { return m_complete; }
    qint64 done() const { return m_done; }
    qint64 total() const { return m_total; }

private:
    struct Position
    {
        qint64 upto = 0, done = 0, total = 0;
        bool complete = false;
    };

    Failure failure() const { return {sqlite3_extended_errcode(m_h), describeSqlError(sqlite3_extended_errcode(m_h), QString::fromUtf8(sqlite3_errmsg(m_h)))}; }

    Failure exec(const char *sql) const { return sqlite3_exec(m_h, sql, nullptr, nullptr, nullptr) == SQLITE_OK ? Failure{} : failure(); }

    // The integers of one row of `sql` with `args` bound; NULL reads as `ifNull`.
    Failure row(const char *sql, std::initializer_list<qint64> args, std::initializer_list<qint64 *> out, qint64 ifNull = 0) const
    {
        Statement st;
        if (sqlite3_prepare_v2(m_h, sql, -1, &st.s, nullptr) != SQLITE_OK)
            return failure();
        int i = 0;
        for (qint64 a : args)
            sqlite3_bind_int64(st.s, ++i, a);
        const int rc = sqlite3_step(st.s);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            return failure();
        int column = 0;
        for (qint64 *o : out) {
            *o = rc == SQLITE_ROW && sqlite3_column_type(st.s, column) != SQLITE_NULL ? sqlite3_column_int64(st.s, column) : ifNull;
            ++column;
        }
        return {};
    }

    // Whatever is left of an index that lost a part goes, and a building one takes its place.
    Failure removeRemains()
    {
        QList<QByteArray> drops;
        {
            Statement st;
            if (sqlite3_prepare_v2(m_h, kObjects, -1, &st.s, nullptr) != SQLITE_OK)
                return failure();
            while (sqlite3_step(st.s) == SQLITE_ROW)
                drops << (qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(st.s, 0)), "trigger") == 0 ? "DROP TRIGGER \"" : "DROP TABLE \"")
                             + QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(st.s, 1))).replace('"', "\"\"") + '"';
        }
        for (const QByteArray &sql : drops)
            if (Failure f = exec(sql.constData()); f.code)
                return f;
        return {};
    }

    Failure start()
    {
        m_next = {};
        const IndexState s = stateOf(m_h);
        if (s == IndexState::Complete) {
            m_next.complete = true;
            const Failure f = row("SELECT count(*) FROM p_info", {}, {&m_next.total});
            m_next.done = m_next.total;
            return f;
        }
        if (s == IndexState::Missing) {
            if (Failure f = removeRemains(); f.code)
                return f;
            if (Failure f = exec(indexSchema(false).constData()); f.code)
                return f;
            if (Failure f = exec(kBuildingTriggers); f.code)
                return f;
        }
        if (Failure f = row("SELECT upto FROM p_info_indexing", {}, {&m_next.upto}); f.code)
            return f;
        return row("SELECT count(*), count(*) FILTER (WHERE id <= ?1) FROM p_info", {m_next.upto}, {&m_next.total, &m_next.done});
    }

    Failure fill(qint64 notes)
    {
        if (Failure f = row("SELECT upto FROM p_info_indexing", {}, {&m_upto}); f.code)
            return f;
        m_next = {m_upto, m_done, m_total, false};
        qint64 last = 0, count = 0;
        if (Failure f = row("SELECT max(id), count(*) FROM (SELECT id FROM p_info WHERE id > ?1 ORDER BY id LIMIT ?2)", {m_upto, notes},
                            {&last, &count});
            f.code)
            return f;
        if (count == 0) {
            // Every note is in: the schema's triggers replace the building ones, and the mark goes.
            const QByteArray finish = "DROP TRIGGER p_info_fts_ai; DROP TRIGGER p_info_fts_ad; DROP TRIGGER p_info_fts_au;\n"
                                      + indexSchema(true) + "\nDROP TABLE p_info_indexing;";
            m_next.complete = true;
            m_next.total = m_next.done;
            return exec(finish.constData());
        }
        Statement fill;
        if (sqlite3_prepare_v2(m_h, "INSERT INTO p_info_fts (rowid, title, content) SELECT id, title, content FROM p_info WHERE id > ?1 AND id <= ?2",
                               -1, &fill.s, nullptr)
            != SQLITE_OK)
            return failure();
        sqlite3_bind_int64(fill.s, 1, m_upto);
        sqlite3_bind_int64(fill.s, 2, last);
        if (sqlite3_step(fill.s) != SQLITE_DONE)
            return failure();
        Statement mark;
        if (sqlite3_prepare_v2(m_h, "UPDATE p_info_indexing SET upto = ?1", -1, &mark.s, nullptr) != SQLITE_OK)
            return failure();
        sqlite3_bind_int64(mark.s, 1, last);
        if (sqlite3_step(mark.s) != SQLITE_DONE)
            return failure();
        m_next.upto = last;
        m_next.done += count;
        m_next.total = std::max(m_next.total, m_next.done);
        return {};
    }

    sqlite3 *m_h;
    bool m_started = false, m_complete = false;
    qint64 m_upto = 0, m_done = 0, m_total = 0;
    Position m_next;
};

bool busy(int code)
{
    return (code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED;
}

} // namespace

IndexState indexState(Connection &db)
{
    sqlite3 *h = db.isOpen() ? db.handle() : nullptr;
    return h ? stateOf(h) : IndexState::Missing;
}

bool hasSearchIndex(Connection &db)
{
    return indexState(db) == IndexState::Complete;
}

BuildResult buildSearchIndex(const QString &file, const Progress &progress, QString *reason, int stepMs,
                             const std::function<bool()> &stopped)
{
    sqlite3 *h = nullptr;
    auto finish = [&](BuildResult result, const QString &why = QString()) {
        sqlite3_close(h);
        if (reason)
            *reason = why;
        return result;
    };
    if (sqlite3_open_v2(file.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return finish(BuildResult::Failed, describeSqlError(sqlite3_extended_errcode(h), QString::fromUtf8(sqlite3_errmsg(h))));
    sqlite3_extended_result_codes(h, 1);
    // Shorter than the program's own wait, so a step that finds the file locked gives way first.
    sqlite3_busy_timeout(h, 1000);
    sqlite3_exec(h, "PRAGMA cache_size = -16384", nullptr, nullptr, nullptr);

    Builder builder(h);
    bool stop = false;
    // Notes a step: grown or shrunk so that a step takes about stepMs, whatever the notes' size.
    qint64 notes = 4;
    while (!builder.complete()) {
        Failure failed;
        QElapsedTimer took;
        if (!app::WritePause::runStep(
                [&] {
                    took.start();
                    failed = builder.step(notes);
                },
                [&] { return stop || (stopped && stopped()); }))
            break;
        if (busy(failed.code)) {
            if (stopped && stopped())
                break;
            QThread::msleep(50);
            continue;
        }
        if (failed.code)
            return finish(BuildResult::Failed, failed.reason);
        const qint64 ms = took.elapsed();
        if (ms * 2 < stepMs)
            notes = std::min<qint64>(notes * 2, 4096);
        else if (ms > stepMs * 2)
            notes = std::max<qint64>(notes / 2, 1);
        if ((progress && !progress(builder.done(), builder.total())) || (stopped && stopped()))
            stop = true;
        if (stop && !builder.complete())
            break;
    }
    return finish(builder.complete() ? BuildResult::Complete : BuildResult::Stopped);
}

} // namespace notesearch
