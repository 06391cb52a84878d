#pragma once
// Turns a database failure into the text a user is shown on the second line of a failure box: a short
// Chinese sentence saying what is wrong, where the failure is one a user can cause, then the
// database's own text.

#include <QString>

QString describeSqlError(int sqliteExtendedCode, const QString &databaseText);

// Column captions for the explanations ("姓名太长"); the view definitions register theirs.
void registerColumnCaption(const QString &table, const QString &column, const QString &caption);
QString columnCaption(const QString &table, const QString &column);
