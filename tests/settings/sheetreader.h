#pragma once
// Spreadsheet files as independent readers see them (xlrd, openpyxl, Python's csv module), and the
// comparison of what they read with what the database holds.

#include <QList>
#include <QString>
#include <QVariant>

struct ReadSheet
{
    QString name;
    QList<QVariantList> rows;   // a cell is a null QVariant (empty), a double, or a QString
};

// kind: "xls", "xlsx", "csv" (with a byte-order mark) or "plaincsv". Empty with `error` set on failure.
QList<ReadSheet> readBack(const QString &kind, const QString &file, QString *error);

// The headings of a view definition, then every row its SELECT gives, straight from the database.
QList<QVariantList> databaseRows(const QString &definition);

enum class Numbers {
    Exact,           // a number reads back as exactly the same number
    SixteenDigits,   // ... to 16 significant digits, all the xlsx library writes
    AsText,          // every cell is text (CSV); a number's text reads as exactly the same number
};

// The first difference between what the database holds and what a reader read, or an empty string.
// Trailing empty cells and rows do not count.
QString firstDifference(const QList<QVariantList> &expected, const QList<QVariantList> &actual, Numbers numbers);
