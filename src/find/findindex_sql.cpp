// Reading the records straight from a statement: the values are taken from SQLite's own UTF-16 text
// and folded without copies, which is most of what building the index costs.

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
    std::vector<QStringView> values(std::size_t(fields.size()));
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int f = 0; f < int(fields.size()); ++f) {
            const void *text = sqlite3_column_text16(statement, f + 1);
            values[std::size_t(f)] = QStringView(static_cast<const char16_t *>(text), sqlite3_column_bytes16(statement, f + 1) / 2);
        }
        take(sqlite3_column_int64(statement, 0), values.data(), qsizetype(values.size()));
    }
    sqlite3_finalize(statement);
    return rc == SQLITE_DONE || fail("step");
}

} // namespace

bool FindIndex::load(sqlite3 *db, const QString &select, QString *error)
{
    std::vector<Entry> all;
    Private::Words words;
    const bool read = readRows(db, select, d->fields, error, [&](qint64 id, const QStringView *values, qsizetype count) {
        all.push_back(d->makeEntry(id, values, count, words));
    });
    if (read)
        d->replaceAll(std::move(all), std::move(words));
    return read;
}

bool FindIndex::update(sqlite3 *db, const QString &select, QString *error)
{
    // Words of rows that then fail stay in the list, unused.
    std::vector<Entry> changed;
    const bool read = readRows(db, select, d->fields, error, [&](qint64 id, const QStringView *values, qsizetype count) {
        changed.push_back(d->makeEntry(id, values, count, d->words));
    });
    if (!read)
        return false;
    for (Entry &e : changed)
        d->put(std::move(e));
    return true;
}

} // namespace finder
