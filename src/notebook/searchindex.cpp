#include "notebook/searchindex.h"

#include "app/schema.h"
#include "app/connection.h"
#include "platform/services.h"

#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <sqlite3.h>
#include <vector>

namespace notesearch {

namespace {

const QString kTable = QStringLiteral("p_info_fts");
const QStringList kTriggers = {QStringLiteral("p_info_fts_ai"), QStringLiteral("p_info_fts_ad"), QStringLiteral("p_info_fts_au")};

// About half a megabyte of text a step at the usual note size: a cancel is answered quickly, and
// the steps cost nothing next to the work.
constexpr qsizetype kNotesPerStep = 64;

// The index's part of the schema, between its marks: an added index is the one a new database has.
QString indexSchema()
{
    const QString schema = schemaSql();
    const qsizetype from = schema.indexOf(QStringLiteral("-- search index: begin"));
    const qsizetype to = schema.indexOf(QStringLiteral("-- search index: end"));
    Q_ASSERT(from >= 0 && to > from);
    return schema.mid(from, to - from);
}

DbResult run(Connection &db, const QString &sql)
{
    sqlite3 *h = db.handle();
    char *message = nullptr;
    if (sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return {};
    const QString text = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errmsg(h));
    sqlite3_free(message);
    return db.failure(sqlite3_extended_errcode(h), text);
}

// What there is of the index (type, name): only triggers of its names that sit on p_info and an FTS
// table of its name count, so an object of someone else's that took a name is neither taken for it
// nor removed with it.
QSqlQuery indexObjects(Connection &db)
{
    QSqlQuery q(db.sqlDatabase());
    q.prepare(QStringLiteral(
        "SELECT type, name FROM sqlite_master WHERE (type = 'trigger' AND lower(tbl_name) = 'p_info' AND lower(name) IN (?, ?, ?)) "
        "OR (type = 'table' AND lower(name) = ? AND sql LIKE 'CREATE VIRTUAL TABLE%fts5%')"));
    for (const QString &name : kTriggers)
        q.addBindValue(name);
    q.addBindValue(kTable);
    q.exec();
    return q;
}

// Removes what there is of an index that lost a part, inside the transaction.
DbResult removeRemains(Connection &db)
{
    QStringList statements;
    {
        QSqlQuery q = indexObjects(db);
        if (!q.isActive())
            return db.failure(q.lastError());
        while (q.next())
            statements << (q.value(0).toString() == QStringLiteral("trigger") ? QStringLiteral("DROP TRIGGER \"")
                                                                                : QStringLiteral("DROP TABLE \""))
                              + q.value(1).toString().replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    }
    for (const QString &sql : statements)
        if (DbResult done = run(db, sql); !done)
            return done;
    return {};
}

DbResult noteIds(Connection &db, std::vector<qint64> *ids)
{
    QSqlQuery q(db.sqlDatabase());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT id FROM p_info ORDER BY id")))
        return db.failure(q.lastError());
    while (q.next())
        ids->push_back(q.value(0).toLongLong());
    return {};
}

// Rolls back; a failure's reason goes where the caller asked for it.
IndexResult undo(Connection &db, IndexResult result, const DbResult &failure, QString *reason)
{
    db.rollback();
    if (result == IndexResult::Failed && reason)
        *reason = failure.reason;
    return result;
}

} // namespace

bool hasSearchIndex(Connection &db)
{
    if (!db.isOpen())
        return false;
    QSqlQuery q = indexObjects(db);
    int found = 0;
    while (q.isActive() && q.next())
        ++found;
    return found == int(kTriggers.size()) + 1;
}

IndexResult addSearchIndex(Connection &db, const Progress &progress, QString *reason)
{
    if (hasSearchIndex(db))
        return IndexResult::Present;
    if (!db.isOpen() || db.inTransaction()) {
        if (reason)
            *reason = db.isOpen() ? QStringLiteral("另一项修改尚未结束,暂不能建立搜索索引。") : QStringLiteral("数据库未连接。");
        return IndexResult::Failed;
    }

    // What is left of an index that lost a trigger goes; then all of it is made afresh.
    std::vector<qint64> ids;
    DbResult done = db.begin();
    if (done)
        done = removeRemains(db);
    if (done)
        done = run(db, indexSchema());
    if (done)
        done = noteIds(db, &ids);
    if (!done)
        return undo(db, IndexResult::Failed, done, reason);

    const qint64 total = qint64(ids.size());
    if (progress && !progress(0, total))
        return undo(db, IndexResult::Cancelled, done, reason);
    const QString fill = QStringLiteral(
        "INSERT INTO p_info_fts (rowid, title, content) SELECT id, title, content FROM p_info WHERE id BETWEEN ? AND ?");
    for (size_t first = 0; first < ids.size(); first += size_t(kNotesPerStep)) {
        const size_t last = std::min(ids.size(), first + size_t(kNotesPerStep)) - 1;
        if (done = db.execute(fill, {ids[first], ids[last]}); !done)
            return undo(db, IndexResult::Failed, done, reason);
        if (progress && !progress(qint64(last) + 1, total))
            return undo(db, IndexResult::Cancelled, done, reason);
    }
    if (done = db.commit(); !done)
        return undo(db, IndexResult::Failed, done, reason);
    return IndexResult::Added;
}

IndexResult addSearchIndexWithProgress(Connection &db, QWidget *parent, int showAfterMs, QString *reason)
{
    if (hasSearchIndex(db))
        return IndexResult::Present;
    const QString text = QStringLiteral("正在为笔记建立搜索索引(只需一次),请稍候……");
    QProgressDialog dialog(text, QStringLiteral("取消"), 0, 1000, parent);
    dialog.setWindowTitle(QStringLiteral("建立搜索索引"));
    dialog.setAccessibleName(dialog.windowTitle());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(showAfterMs);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    // The program does not lock over the dialog while it runs; the idle period starts after it.
    const platform::IdleHold hold(platform::services().idle.get());
    for (QPushButton *button : dialog.findChildren<QPushButton *>())
        button->setAccessibleName(button->text());
    for (QProgressBar *bar : dialog.findChildren<QProgressBar *>())
        bar->setAccessibleName(text);
    return addSearchIndex(
        db,
        [&dialog](qint64 done, qint64 total) {
            dialog.setValue(total > 0 ? int(done * 1000 / total) : 1000);
            return !dialog.wasCanceled();
        },
        reason);
}

} // namespace notesearch
