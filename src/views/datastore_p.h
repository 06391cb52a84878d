#pragma once
// The store's inside, shared by its source files (rows and items, retrieve and update, sort).

#include "views/datastore.h"
#include "views/definition.h"
#include "views/rows.h"

#include <vector>

namespace views {

struct SortKey
{
    int column;
    bool ascending;
};

struct DataStore::Private
{
    const Definition *def = nullptr;
    QString select;                     // replaces def->select when not empty
    Connection *connection = nullptr;
    DbResult lastError;                 // of the last retrieve or update
    std::vector<ColumnType> types;
    std::vector<detail::Row> rows;      // the primary buffer, row n at index n - 1
    std::vector<detail::Row> deleted;   // the delete buffer
    // Holds the blocks of the rows as read; emptied only together with both buffers.
    std::unique_ptr<detail::Arena> arena = std::make_unique<detail::Arena>();
    QString sortCriteria;
    QList<SortKey> sortKeys;
    ErrorHandler errorHandler;
    bool showsErrorBox = false;
    long selected = 0;       // rows highlighted
    long lastSelected = 0;   // the row last highlighted (a hint: rows may have moved since)

    int columns() const { return int(types.size()); }
    void dropRows()
    {
        rows.clear();
        deleted.clear();
        selected = 0;
        lastSelected = 0;
        arena = std::make_unique<detail::Arena>();
    }
    bool validRow(long row) const { return row >= 1 && row <= long(rows.size()); }
    int columnIndex(const QString &name) const { return def ? def->columnIndex(name) : -1; }
    detail::Row &at(long row) { return rows[size_t(row - 1)]; }
    const detail::Row &at(long row) const { return rows[size_t(row - 1)]; }
};

} // namespace views
