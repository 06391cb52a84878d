// Reading rows through the sqlite3 interface of the store's connection, and writing the changes back
// with bound statements.

#include "views/datastore_p.h"

#include <QElapsedTimer>
#include <sqlite3.h>

namespace views {

using detail::Row;
using detail::RowBuilder;

namespace {

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

// Keys are matched with IS, so a key that was read as NULL still finds its row.
QString whereKeys(const Definition &def, const std::vector<ColumnType> &types, const QList<int> &keys, const Row &r,
                  QVariantList *values)
{
    QStringList parts;
    for (int k : keys) {
        parts << def.columns.at(k).name + QStringLiteral(" IS ?");
        *values << r.asRead().value(types, k);
    }
    return parts.join(QStringLiteral(" AND "));
}

// An update or delete that found no row: the row was deleted or its key changed since it was read.
DbResult vanished(const QString &what)
{
    return DbResult::failure(DbResult::ProgramCode, what);
}

} // namespace

// A statement prepared on the store's connection, finalized when it goes: before any box is shown,
// so that no read stays open behind it.
struct DataStore::Select
{
    sqlite3 *h = nullptr;
    QString sql;
    sqlite3_stmt *stmt = nullptr;

    Select(sqlite3 *handle, const QString &text) : h(handle), sql(text) {}
    ~Select() { sqlite3_finalize(stmt); }
    Select(const Select &) = delete;
    Select &operator=(const Select &) = delete;
};

long DataStore::retrieve(const QVariantList &args)
{
    if (!d->def)
        return -1;
    emit retrieveStarted();
    d->dropRows();
    emit rowsReset();
    d->lastError = {};

    sqlite3 *h = d->connection ? d->connection->handle() : nullptr;
    if (!h) {
        // Nothing was read, and the rows are gone already.
        d->lastError = DbResult::failure(SQLITE_MISUSE, QStringLiteral("数据库未连接。"));
        reportError(d->lastError, selectStatement(), 0);
        emit retrieveFinished(-1);
        return -1;
    }

    DbResult read;
    {
        Select select(h, selectStatement());
        read = prepareSelect(args, select);
        if (read)
            read = readRows(select);
    }
    if (!read)
        return failRetrieve(read, selectStatement());
    d->rows.shrink_to_fit();
    emit rowsReset();
    emit retrieveFinished(rowCount());
    return rowCount();
}

DbResult DataStore::prepareSelect(const QVariantList &args, Select &select) const
{
    sqlite3 *h = select.h;
    const Connection &db = *d->connection;
    if (sqlite3_prepare16_v2(h, select.sql.utf16(), int(select.sql.size() * 2), &select.stmt, nullptr) != SQLITE_OK)
        return db.failure(sqlite3_extended_errcode(h), sqliteText(h));
    if (sqlite3_column_count(select.stmt) != d->columns())
        return db.failure(SQLITE_ERROR, QStringLiteral("视图“%1”的列数与查询不符。").arg(d->def->name));
    if (args.size() < d->def->arguments.size())
        return db.failure(SQLITE_RANGE, QStringLiteral("视图“%1”需要%2个检索参数,只给了%3个。")
                                            .arg(d->def->name).arg(d->def->arguments.size()).arg(args.size()));
    for (qsizetype i = 0; i < d->def->arguments.size(); ++i) {
        const Argument &a = d->def->arguments.at(i);
        const QByteArray name = ':' + a.name.toUtf8();
        const int index = sqlite3_bind_parameter_index(select.stmt, name.constData());
        if (index == 0)
            continue;   // the query does not use it
        if (!bindArgument(select.stmt, index, a, args.at(i)))
            return db.failure(sqlite3_extended_errcode(h), sqliteText(h));
    }
    return {};
}

DbResult DataStore::readRows(Select &select)
{
    // In a UTF-8 database the text is read as it is stored and decoded here, straight into the row;
    // asking the database for UTF-16 would make it convert into a buffer of its own for every value.
    // (A value converted for its length, in a UTF-16 database, keeps that conversion for the read.)
    const bool utf8 = d->connection->isUtf8();
    sqlite3_stmt *stmt = select.stmt;
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
        return d->connection->failure(sqlite3_extended_errcode(select.h), sqliteText(select.h));
    return {};
}

long DataStore::failRetrieve(const DbResult &failure, const QString &sql)
{
    d->lastError = failure;
    d->dropRows();
    reportError(failure, sql, 0);
    emit rowsReset();
    emit retrieveFinished(-1);
    return -1;
}

DbResult DataStore::update(bool resetFlags)
{
    if (!d->def)
        return DbResult::failure(DbResult::ProgramCode, QString());
    d->lastError = updateRefusal();
    if (!d->lastError) {
        reportError(d->lastError, QString(), 0);
        return d->lastError;
    }
    QList<int> keys;
    for (const QString &k : d->def->keyColumns)
        keys << d->def->columnIndex(k);
    d->lastError = writeDeletes(keys);
    if (d->lastError)
        d->lastError = writeChanges(keys);
    if (d->lastError)
        d->lastError = writeInserts(keys);
    if (d->lastError && resetFlags)
        resetUpdate();
    return d->lastError;
}

DbResult DataStore::updateRefusal() const
{
    if (!d->connection)
        return DbResult::failure(SQLITE_MISUSE, QStringLiteral("数据库未连接。"));
    if (!d->def->isUpdatable())
        return DbResult::failure(SQLITE_MISUSE, QStringLiteral("视图“%1”不能保存。").arg(d->def->name));
    return {};
}

DbResult DataStore::writeDeletes(const QList<int> &keys)
{
    const Definition &def = *d->def;
    for (size_t i = 0; i < d->deleted.size(); ++i) {
        const Row &r = d->deleted[i];
        if (r.isNew)
            continue;
        QVariantList values;
        const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2").arg(def.updateTable, whereKeys(def, d->types, keys, r, &values));
        DbResult written = d->connection->execute(sql, values);
        if (written && written.rows == 0 && !def.goneRowDeleted)
            written = vanished(QStringLiteral("要删除的记录已不在数据库中(已被删除或改动),未能删除。"));
        if (!written) {
            reportError(written, sql, long(i) + 1);
            return written;
        }
    }
    return {};
}

DbResult DataStore::writeChanges(const QList<int> &keys)
{
    const Definition &def = *d->def;
    const int n = d->columns();
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
                                .arg(def.updateTable, sets.join(QStringLiteral(", ")), whereKeys(def, d->types, keys, r, &values));
        DbResult written = d->connection->execute(sql, values);
        if (written && written.rows == 0)
            written = vanished(QStringLiteral("要修改的记录已不在数据库中(已被删除或改动),未能保存。"));
        if (!written) {
            reportError(written, sql, row);
            return written;
        }
    }
    return {};
}

DbResult DataStore::writeInserts(const QList<int> &keys)
{
    const Definition &def = *d->def;
    const int n = d->columns();
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
        const DbResult written = d->connection->execute(sql, values);
        if (!written) {
            reportError(written, sql, row);
            return written;
        }
        // An identity key the database assigned is taken into the row, so the row can be found
        // again by a later update without being read anew. (Taken again on every insert: after a
        // rollback the row is inserted anew and gets a new one.)
        sqlite3 *h = d->connection->handle();
        for (int k : keys) {
            const Column &key = def.columns.at(k);
            if (key.type == ColumnType::Integer && !key.updatable && h) {
                r.current = RowBuilder::replace(d->types, r.current, k, qint64(sqlite3_last_insert_rowid(h)));
                emit itemChanged(row, k);
            }
        }
    }
    return {};
}

} // namespace views
