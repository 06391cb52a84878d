#pragma once

#include <QString>

// The SQL that makes a new, empty database of the program (tables, indexes, default groups).
QString schemaSql();

// Creates a new database file from the schema. Refuses (returns false) where the file already exists,
// so a delivered database is never touched. On failure a half-made file is removed.
bool createDatabase(const QString &path, QString *error = nullptr);
