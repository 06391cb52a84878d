// Reading rows through the sqlite3 interface of the transaction's connection, and writing the
// changes back with bound statements.

#include "views/datastore_p.h"

#include "app/transaction.h"

#include <QElapsedTimer>
#include <sqlite3.h>

namespace views {

using detail::Row;
using detail::RowBuilder;

namespace {

// An update or delete that found no row: the row was deleted or its key changed since it was read.
constexpr long kRowVanished = -1;

bool bindArgument(sqlite3_stmt *stmt, int index, const Argument &arg, const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return sqlite3_bind_null(stmt, index) == SQLITE_OK;
    if (arg.type == ColumnType::Text || value.typeId() == QMetaType::QString) {
        const QString s = value.toString();
        return sqlite3_bind_text16(stmt, index, s.utf16(), int(s.size() * 2), SQLITE_TRANSIENT) == SQLITE_OK;
    }
    if (arg.type == ColumnType::Integer)
        return sqlite3_bind_int64(stmt, index, value.toLongLong()) == SQLITE_OK;
    return sqlite3_bind_double(stmt, index, value.toDouble()) == SQLITE_OK;
}

QString sqliteText(sqlite3 *h)
{
    return QString::fromUtf16(static_cast<const char16_t *>(sqlite3_errmsg16(h)));
}

} // namespace

long DataStore::retrieve(const QVariantList &args)
{
    if (!d->def)
        return -1;
    emit retrieveStarted();
    d->dropRows();
    emit rowsReset();

    Transaction *t = d->trans;
    sqlite3 *h = t ? t->handle() : nullptr;
    if (!t || !h) {
        const QString text = QStringLiteral("数据库未连接。");
        if (t)
            t->setError(SQLITE_MISUSE, text);
        reportDbError(SQLITE_MISUSE, text, selectStatement(), 0);
        emit retrieveFinished(-1);
        return -1;
    }
    t->clearError();

    const QString sql = selectStatement();
    sqlite3_stmt *stmt = nullptr;
    auto fail = [&](int code, const QString &text) {
        t->setError(code, text);
        if (stmt)
            sqlite3_finalize(stmt);
        d->dropRows();
        reportDbError(t->sqldbcode, t->sqlerrtext, sql, 0);
        emit rowsReset();
        emit retrieveFinished(-1);
        return -1L;
    };

    if (sqlite3_prepare16_v2(h, sql.utf16(), int(sql.size() * 2), &stmt, nullptr) != SQLITE_OK)
        return fail(sqlite3_extended_errcode(h), sqliteText(h));
    if (sqlite3_column_count(stmt) != d->columns())
        return fail(SQLITE_ERROR, QStringLiteral("视图“%1”的列数与查询不符。").arg(d->def->name));
    if (args.size() < d->def->arguments.size())
        return fail(SQLITE_RANGE, QStringLiteral("视图“%1”需要%2个检索参数,只给了%3个。")
                                      .arg(d->def->name).arg(d->def->arguments.size()).arg(args.size()));
    for (qsizetype i = 0; i < d->def->arguments.size(); ++i) {
        const Argument &a = d->def->arguments.at(i);
        const QByteArray name = ':' + a.name.toUtf8();
        const int index = sqlite3_bind_parameter_index(stmt, name.constData());
        if (index == 0)
            continue;   // the query does not use it
        if (!bindArgument(stmt, index, a, args.at(i)))
            return fail(sqlite3_extended_errcode(h), sqliteText(h));
    }

    // In a UTF-8 database the text is read as it is stored and decoded here, straight into the row;
    // asking the database for UTF-16 would make it convert into a buffer of its own for every value.
    // (A value converted for its length, in a UTF-16 database, keeps that conversion for the read.)
    bool utf8 = false;
    {
        sqlite3_stmt *enc = nullptr;
        if (sqlite3_prepare_v2(h, "PRAGMA encoding", -1, &enc, nullptr) == SQLITE_OK && sqlite3_step(enc) == SQLITE_ROW)
            utf8 = qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(enc, 0)), "UTF-8") == 0;
        sqlite3_finalize(enc);
    }

    const int n = d->columns();
    detail::RowWriter writer(*d->arena, n);
    std::vector<sqlite3_value *> values(static_cast<size_t>(n));
    std::vector<int> kinds(static_cast<size_t>(n));
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        // First the size of the row (one call per value into the statement, which takes the
        // connection's lock; the value's own accessors take none), then the row, written in place.
        size_t units = 0;
        for (int c = 0; c < n; ++c) {
            sqlite3_value *v = sqlite3_column_value(stmt, c);
            const int kind = sqlite3_value_type(v);
            values[size_t(c)] = v;
            kinds[size_t(c)] = kind;
            if (kind == SQLITE_NULL)
                continue;
            if (d->types[size_t(c)] != ColumnType::Text)
                units += 4;
            else if (utf8 && kind == SQLITE_TEXT)
                units += size_t(sqlite3_value_bytes(v));
            else
                units += size_t(sqlite3_value_bytes16(v)) / 2;
        }
        writer.begin(units);
        for (int c = 0; c < n; ++c) {
            sqlite3_value *v = values[size_t(c)];
            const int kind = kinds[size_t(c)];
            if (kind == SQLITE_NULL) {
                writer.addNull();
                continue;
            }
            switch (d->types[size_t(c)]) {
            case ColumnType::Text:
                if (utf8 && kind == SQLITE_TEXT)
                    writer.addUtf8(static_cast<const unsigned char *>(sqlite3_value_blob(v)), sqlite3_value_bytes(v));
                else
                    writer.addText(static_cast<const char16_t *>(sqlite3_value_text16(v)), sqlite3_value_bytes16(v) / 2);
                break;
            case ColumnType::Integer:
                writer.addInteger(sqlite3_value_int64(v));
                break;
            case ColumnType::Number:
                writer.addNumber(sqlite3_value_double(v));
                break;
            }
        }
        Row r;
        r.current = writer.finish();
        d->rows.push_back(std::move(r));
    }
    if (rc != SQLITE_DONE)
        return fail(sqlite3_extended_errcode(h), sqliteText(h));
    sqlite3_finalize(stmt);
    d->rows.shrink_to_fit();

    t->sqlnrows = rowCount();
    t->sqlcode = d->rows.empty() ? Transaction::NotFound : Transaction::Success;
    emit rowsReset();
    emit retrieveFinished(rowCount());
    return rowCount();
}

int DataStore::update(bool resetFlags)
{
    if (!d->def)
        return -1;
    Transaction *t = d->trans;
    const Definition &def = *d->def;
    if (!t || !def.isUpdatable()) {
        const QString text = t ? QStringLiteral("视图“%1”不能保存。").arg(def.name) : QStringLiteral("数据库未连接。");
        if (t)
            t->setError(SQLITE_MISUSE, text);
        reportDbError(SQLITE_MISUSE, text, QString(), 0);
        return -1;
    }
    t->clearError();

    const int n = d->columns();
    QList<int> keys;
    for (const QString &k : def.keyColumns)
        keys << def.columnIndex(k);

    // Keys are matched with IS, so a key that was read as NULL still finds its row.
    auto whereKeys = [&](const Row &r, QVariantList *values) {
        QStringList parts;
        for (int k : keys) {
            parts << def.columns.at(k).name + QStringLiteral(" IS ?");
            *values << r.asRead().value(d->types, k);
        }
        return parts.join(QStringLiteral(" AND "));
    };
    auto failed = [&](const QString &sql, long row) {
        reportDbError(t->sqldbcode, t->sqlerrtext, sql, row);
        return -1;
    };
    auto vanished = [&](const QString &sql, long row, const QString &what) {
        t->setError(int(kRowVanished), what);
        return failed(sql, row);
    };

    for (size_t i = 0; i < d->deleted.size(); ++i) {
        const Row &r = d->deleted[i];
        if (r.isNew)
            continue;
        QVariantList values;
        const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2").arg(def.updateTable, whereKeys(r, &values));
        if (!t->execute(sql, values))
            return failed(sql, long(i) + 1);
        if (t->sqlnrows == 0 && !def.goneRowDeleted)
            return vanished(sql, long(i) + 1, QStringLiteral("要删除的记录已不在数据库中(已被删除或改动),未能删除。"));
    }

    for (long row = 1; row <= rowCount(); ++row) {
        const Row &r = d->at(row);
        if (r.isNew || r.modified == 0)
            continue;
        QStringList sets;
        QVariantList values;
        for (int c = 0; c < n; ++c) {
            if ((r.modified & (uint64_t(1) << c)) && def.columns.at(c).updatable) {
                sets << def.columns.at(c).name + QStringLiteral(" = ?");
                values << r.current.value(d->types, c);
            }
        }
        if (sets.isEmpty())
            continue;
        const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                .arg(def.updateTable, sets.join(QStringLiteral(", ")), whereKeys(r, &values));
        if (!t->execute(sql, values))
            return failed(sql, row);
        if (t->sqlnrows == 0)
            return vanished(sql, row, QStringLiteral("要修改的记录已不在数据库中(已被删除或改动),未能保存。"));
    }

    for (long row = 1; row <= rowCount(); ++row) {
        Row &r = d->at(row);
        if (!r.isNew || r.modified == 0)
            continue;
        QStringList names, marks;
        QVariantList values;
        for (int c = 0; c < n; ++c) {
            if (!def.columns.at(c).updatable)
                continue;
            names << def.columns.at(c).name;
            marks << QStringLiteral("?");
            values << r.current.value(d->types, c);
        }
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(def.updateTable, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        if (!t->execute(sql, values))
            return failed(sql, row);
        // An identity key the database assigned is taken into the row, so the row can be found
        // again by a later update without being read anew. (Taken again on every insert: after a
        // rollback the row is inserted anew and gets a new one.)
        for (int k : keys) {
            const Column &key = def.columns.at(k);
            if (key.type == ColumnType::Integer && !key.updatable && t->handle()) {
                r.current = RowBuilder::replace(d->types, r.current, k, qint64(sqlite3_last_insert_rowid(t->handle())));
                emit itemChanged(row, k);
            }
        }
    }

    t->sqlcode = Transaction::Success;
    if (resetFlags)
        resetUpdate();
    return 1;
}

} // namespace views
