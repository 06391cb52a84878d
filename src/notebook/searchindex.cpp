#include "notebook/searchindex.h"

#include "app/schema.h"
#include "app/transaction.h"
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

bool run(Transaction &t, const QString &sql)
{
    sqlite3 *h = t.handle();
    char *message = nullptr;
    if (sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    const QString text = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errmsg(h));
    sqlite3_free(message);
    t.setError(sqlite3_extended_errcode(h), text);
    return false;
}

// What there is of the index (type, name): only triggers of its names that sit on p_info and an FTS
// table of its name count, so an object of someone else's that took a name is neither taken for it
// nor removed with it.
QSqlQuery indexObjects(Transaction &t)
{
    QSqlQuery q(t.db());
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
bool removeRemains(Transaction &t)
{
    QStringList statements;
    {
        QSqlQuery q = indexObjects(t);
        if (!q.isActive()) {
            t.setError(q.lastError());
            return false;
        }
        while (q.next())
            statements << (q.value(0).toString() == QStringLiteral("trigger") ? QStringLiteral("DROP TRIGGER \"")
                                                                                : QStringLiteral("DROP TABLE \""))
                              + q.value(1).toString().replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    }
    for (const QString &sql : statements)
        if (!run(t, sql))
            return false;
    return true;
}

bool noteIds(Transaction &t, std::vector<qint64> *ids)
{
    QSqlQuery q(t.db());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT id FROM p_info ORDER BY id"))) {
        t.setError(q.lastError());
        return false;
    }
    while (q.next())
        ids->push_back(q.value(0).toLongLong());
    return true;
}

// Rolls back, keeping the error that made it necessary for the caller to show.
IndexResult undo(Transaction &t, IndexResult result)
{
    const long code = t.sqlcode, dbcode = t.sqldbcode;
    const QString text = t.sqlerrtext;
    t.rollback();
    if (result == IndexResult::Failed) {
        t.sqlcode = code;
        t.sqldbcode = dbcode;
        t.sqlerrtext = text;
    }
    return result;
}

} // namespace

bool hasSearchIndex(Transaction &t)
{
    if (!t.isConnected())
        return false;
    QSqlQuery q = indexObjects(t);
    int found = 0;
    while (q.isActive() && q.next())
        ++found;
    return found == int(kTriggers.size()) + 1;
}

IndexResult addSearchIndex(Transaction &t, const Progress &progress)
{
    if (hasSearchIndex(t))
        return IndexResult::Present;
    if (!t.isConnected() || t.inTransaction()) {
        t.setError(SQLITE_MISUSE, t.isConnected() ? QStringLiteral("另一项修改尚未结束,暂不能建立搜索索引。")
                                                  : QStringLiteral("数据库未连接。"));
        return IndexResult::Failed;
    }
    t.clearError();

    // What is left of an index that lost a trigger goes; then all of it is made afresh.
    std::vector<qint64> ids;
    if (!t.begin() || !removeRemains(t) || !run(t, indexSchema()) || !noteIds(t, &ids))
        return undo(t, IndexResult::Failed);

    const qint64 total = qint64(ids.size());
    if (progress && !progress(0, total))
        return undo(t, IndexResult::Cancelled);
    const QString fill = QStringLiteral(
        "INSERT INTO p_info_fts (rowid, title, content) SELECT id, title, content FROM p_info WHERE id BETWEEN ? AND ?");
    for (size_t first = 0; first < ids.size(); first += size_t(kNotesPerStep)) {
        const size_t last = std::min(ids.size(), first + size_t(kNotesPerStep)) - 1;
        if (!t.execute(fill, {ids[first], ids[last]}))
            return undo(t, IndexResult::Failed);
        if (progress && !progress(qint64(last) + 1, total))
            return undo(t, IndexResult::Cancelled);
    }
    if (!t.commit())
        return undo(t, IndexResult::Failed);
    return IndexResult::Added;
}

IndexResult addSearchIndexWithProgress(Transaction &t, QWidget *parent, int showAfterMs)
{
    if (hasSearchIndex(t))
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
    return addSearchIndex(t, [&dialog](qint64 done, qint64 total) {
        dialog.setValue(total > 0 ? int(done * 1000 / total) : 1000);
        return !dialog.wasCanceled();
    });
}

} // namespace notesearch
