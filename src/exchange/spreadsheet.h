#pragma once
// Writes rows to a spreadsheet file: the first row is the headings, then one list of values per record,
// numbers as numbers and NULL as a null QVariant (what a data store's export gives). The file is
// written beside the target and renamed over it only when complete.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace exchange {

enum class SheetFormat {
    Xls,    // Excel 97-2003 workbook, at most 65,536 rows a sheet
    Xlsx,   // Office Open XML workbook
    Csv,    // UTF-8 with a byte-order mark, comma-separated, CRLF
};

// The save dialog's filters, one per format in the order of the enum; the first is the default.
QStringList sheetFilters();
QString sheetSuffix(SheetFormat format);   // "xls", "xlsx", "csv"

// The format a file name's suffix names (case does not matter), or the one a filter names.
std::optional<SheetFormat> formatOfSuffix(const QString &fileName);
std::optional<SheetFormat> formatOfFilter(const QString &filter);

struct SheetTarget
{
    QString path;
    SheetFormat format;
};
// What a save dialog's answer means: the suffix of the name decides; a name without a known suffix
// takes the chosen filter's format (the first filter's when none matches) and gets its suffix.
SheetTarget sheetTarget(const QString &fileName, const QString &selectedFilter = QString());

// False with a Chinese reason (and the system's text) when the file cannot be written; an existing
// file at `path` is then left as it was. `sheetName` names the first sheet; further sheets, which a
// format's row limit makes necessary, repeat the headings and are numbered.
bool writeSheet(const QString &path, SheetFormat format, const QList<QVariantList> &rows, QString *reason,
                const QString &sheetName = QStringLiteral("Sheet1"));

} // namespace exchange
