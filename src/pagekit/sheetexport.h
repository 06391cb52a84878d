#pragma once
// Exporting what a page shows to a spreadsheet file, the same way on every page: the save dialog
// offers the formats of the settings page's export (.xls, .xlsx, .csv), the file is written beside
// its target and renamed over it once complete, and the page's own boxes say how it went.

#include "pagekit/helpers.h"

#include <QList>
#include <QStringList>
#include <QVariant>

class Connection;
class QAction;

namespace views {
class DataStore;
class DataView;
}

namespace pagekit {

class ContextMenu;

struct ExportBoxes
{
    Box nothing;    // no records to export
    Box failed;     // the file was not written; the reason follows on a second line
    Box done;       // written; the file's name follows on a second line
};

// The rows (headings first) of export definition `definition`, the settings page's, with its
// headings and order; only those whose `groupColumn` is `group`, unless `group` is "%". Empty, with
// the reason in `failure`, when the read fails.
QList<QVariantList> groupRows(Connection &db, const QString &definition, const QString &groupColumn, const QString &group,
                              DbResult *failure);

// The rows a list shows (headings first): its visible columns with their header texts, its rows in
// the order shown, values as stored.
QList<QVariantList> shownRows(const views::DataStore &store);

// The save dialog for an export, proposing `name` with `suffix` (the first filter's; .xls when
// empty); `otherFilters` come before the spreadsheets'. Empty when the user cancelled;
// `chosenFilter` gets the filter left chosen.
QString askExportFile(const QString &title, const QString &name, const QStringList &otherFilters, QString *chosenFilter,
                      const QString &suffix = QString());

// Asks where to save `rows` and writes them there as the chosen format; the boxes say how it went.
// True when the file was written. `sheetName` names the workbook's sheet.
bool exportRows(const QList<QVariantList> &rows, const QString &title, const QString &name, const QString &sheetName,
                const ExportBoxes &boxes);
// The same to a file already chosen (the filter left chosen decides a name without a suffix).
bool writeRows(const QList<QVariantList> &rows, const QString &chosen, const QString &chosenFilter,
               const QString &sheetName, const ExportBoxes &boxes);

// What a group tree's "导出…" writes: the records of export definition `definition` (the settings
// page's) whose `groupColumn` is the group the menu was opened on, all of them from the root.
struct GroupExport
{
    QString definition;
    QString groupColumn;
    QString sheetName;      // the workbook's sheet: the table's name, as the settings page names it
    ExportBoxes boxes;
};

// The menu's "导出…" for a group tree; the file proposed is named after the root or the group.
QAction *addGroupExport(ContextMenu *menu, Connection &db, const GroupExport &what);
// The menu's "导出…" for a list: its rows as it shows them; `name` names the file proposed.
QAction *addListExport(ContextMenu *menu, views::DataView *list, const QString &name, const QString &sheetName,
                       const ExportBoxes &boxes);

} // namespace pagekit
