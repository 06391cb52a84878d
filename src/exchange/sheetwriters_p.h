#pragma once
// What the three spreadsheet writers share; the callers use spreadsheet.h.

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

namespace exchange::detail {

enum class CellKind { Empty, Number, Text };
// NULL and empty text are empty cells; finite numbers are numbers; everything else, text.
CellKind kindOf(const QVariant &value);
// A number's text exactly as stored (integers in full, fractions in the shortest exact form).
QString numberText(const QVariant &value);

// The longest text one cell of a workbook holds.
constexpr qsizetype kMaxCellText = 32767;
QString textTooLong(qsizetype row, qsizetype column);

// One sheet of a workbook: the headings (rows[0]) and then `count` records from rows[first].
struct SheetSpan
{
    QString name;
    qsizetype first = 1;
    qsizetype count = 0;
};
// Splits the records over as many sheets as a limit of `maxRows` rows a sheet (headings included)
// needs; there is always at least one sheet.
QList<SheetSpan> planSheets(qsizetype rowCount, qsizetype maxRows, const QString &sheetName);

// Calls f(row, indexInRows) for every row of the sheet, the headings first.
template <class F> void forEachRow(const QList<QVariantList> &rows, const SheetSpan &sheet, F f)
{
    if (rows.isEmpty())
        return;
    f(rows.first(), qsizetype(0));
    for (qsizetype i = sheet.first; i < sheet.first + sheet.count; ++i)
        f(rows.at(i), i);
}

// Each writes the whole file at `file` (an existing empty file) or fails with a reason.
bool writeXls(const QString &file, const QList<QVariantList> &rows, const QString &sheetName, QString *reason);
bool writeXlsx(const QString &file, const QList<QVariantList> &rows, const QString &sheetName, QString *reason);
bool writeCsv(const QString &file, const QList<QVariantList> &rows, QString *reason);

// The two workbook writers as the module "sheets" offers them (platform/modules.h): their libraries
// are mapped only once a workbook is written.
class SheetWriters
{
public:
    virtual ~SheetWriters() = default;
    virtual bool writeXls(const QString &file, const QList<QVariantList> &rows, const QString &sheetName,
                          QString *reason) = 0;
    virtual bool writeXlsx(const QString &file, const QList<QVariantList> &rows, const QString &sheetName,
                           QString *reason) = 0;
};

} // namespace exchange::detail

Q_DECLARE_INTERFACE(exchange::detail::SheetWriters, "org.mivo.SheetWriters/1")
