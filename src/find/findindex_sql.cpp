// Reading the records straight from a statement: the values are folded from SQLite's own UTF-8 text,
// without copies or conversions.

#include "findindex.h"

#include "findindex_p.h"

#include <sqlite3.h>

namespace finder {

namespace {

// Runs `select` and hands each row's entry to `take`; false with `error` set on failure.
template <class Take>
bool readRows(sqlite3 *db, const QString &select, const QList<Field> &fields, QString *error, Take take)
{
    const auto fail = [&](const char *what) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QLatin1String(what), db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("no database"));
        return false;
    };
    if (!db)
        return fail("open");
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare16_v2(db, select.utf16(), int(select.size() * 2), &statement, nullptr) != SQLITE_OK)
        return fail("prepare");
    const int columns = sqlite3_column_count(statement);
    if (columns < 1 + int(fields.size())) {
        sqlite3_finalize(statement);
        if (error)
            *error = QStringLiteral("the statement gives %1 columns, not the id and %2 fields").arg(columns).arg(fields.size());
        return false;
    }
    std::vector<std::string_view> values(std::size_t(fields.size()));
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int f = 0; f < int(fields.size()); ++f) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, f + 1));
            values[std::size_t(f)] = std::string_view(text ? text : "", std::size_t(sqlite3_column_bytes(statement, f + 1)));
        }
        take(sqlite3_column_int64(statement, 0), values.data(), qsizetype(values.size()));
    }
    sqlite3_finalize(statement);
    return rc == SQLITE_DONE || fail("step");
}

} // namespace

bool FindIndex::load(sqlite3 *db, const QString &select, QString *error)
{
    Store fresh;
    const bool read = readRows(db, select, d->fields, error, [&](qint64 id, const std::string_view *values, qsizetype count) {
        d->place(fresh, d->makeEntry(fresh, id, values, count), false);
    });
    if (!read)
        return false;
    d->sortOrder(fresh);
    d->renumber(fresh);
    d->store = std::move(fresh);
    d->narrowings.clear();
    return true;
}

bool FindIndex::update(sqlite3 *db, const QString &select, QString *error)
{
    // A few rows: copied, so that a failure halfway changes nothing.
    QList<Record> rows;
    const bool read = readRows(db, select, d->fields, error, [&](qint64 id, const std::string_view *values, qsizetype count) {
        Record r{id, {}};
        for (qsizetype i = 0; i < count; ++i)
            r.values << QString::fromUtf8(values[i].data(), qsizetype(values[i].size()));
        rows << r;
    });
    if (!read)
        return false;
    for (const Record &r : rows)
        update(r);
    return true;
}

} // namespace finder
