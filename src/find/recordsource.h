#pragma once
// What the index reads of a page's records: the table, its groups, and the columns a user finds a
// record by, each with the caption the page shows for it. The first column is the record's name.

#include "find/findindex.h"

#include <QList>
#include <QString>

namespace finder {

struct SourceColumn
{
    QString column;
    QString caption;
    FieldKind kind = FieldKind::Text;
};

struct RecordSource
{
    QString table;       // "t_telinfo"; its key is the integer column "id"
    QString groupColumn; // the record's group code
    QString groupTable;  // the groups: code and name
    QString groupCode;
    QString groupName;
    QList<SourceColumn> columns;

    QList<Field> fields() const;
    // The id, then the columns in order, of every record or of those meeting `condition` (which may
    // bind values by "?").
    QString select(const QString &condition = QString()) const;
};

// The address book's contacts and the personal assets' items.
const RecordSource &contactSource();
const RecordSource &assetItemSource();

} // namespace finder
