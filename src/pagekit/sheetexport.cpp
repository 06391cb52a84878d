#include "pagekit/sheetexport.h"

#include "app/connection.h"
#include "app/writepause.h"
#include "pagekit/contextmenu.h"
#include "views/dataview.h"
#include "exchange/spreadsheet.h"
#include "platform/services.h"
#include "views/datastore.h"
#include "views/definition.h"

#include <QDir>

namespace pagekit {

QList<QVariantList> groupRows(Connection &db, const QString &definition, const QString &groupColumn, const QString &group,
                              DbResult *failure)
{
    views::DataStore store;
    *failure = DbResult();
    if (!store.setDataObject(definition)) {
        *failure = DbResult::failure(DbResult::ProgramCode, QStringLiteral("没有导出定义 %1。").arg(definition));
        return {};
    }
    store.setConnection(db);
    if (store.retrieve() < 0) {
        *failure = store.lastError();
        return {};
    }
    QList<QVariantList> rows = store.exportRows(true);
    const int column = store.definition()->columnIndex(groupColumn);
    if (group == QLatin1String("%") || column < 0)
        return rows;
    QList<QVariantList> mine{rows.first()};
    for (qsizetype i = 1; i < rows.size(); ++i)
        if (rows.at(i).at(column).toString() == group)
            mine.append(rows.at(i));
    return mine;
}

QList<QVariantList> shownRows(const views::DataStore &store)
{
    const views::Definition *d = store.definition();
    if (!d)
        return {};
    const QList<int> shown = d->gridColumns();
    QVariantList headings;
    for (int c : shown)
        headings << (d->columns.at(c).label.isEmpty() ? d->columns.at(c).name : d->columns.at(c).label);
    QList<QVariantList> rows{headings};
    for (long r = 1; r <= store.rowCount(); ++r) {
        QVariantList line;
        for (int c : shown)
            line << store.getItem(r, d->columns.at(c).name);
        rows << line;
    }
    return rows;
}

QString askExportFile(const QString &title, const QString &name, const QStringList &otherFilters, QString *chosenFilter,
                      const QString &suffix)
{
    const QString extension = suffix.isEmpty() ? exchange::sheetSuffix(exchange::SheetFormat::Xls) : suffix;
    const QStringList filters = otherFilters + exchange::sheetFilters();
    platform::SaveFileRequest request{title, name + QLatin1Char('.') + extension, extension, filters.join(QStringLiteral(";;")), QString()};
    return platform::services().fileDialogs->saveFile(request, chosenFilter);
}

bool writeRows(const QList<QVariantList> &rows, const QString &chosen, const QString &chosenFilter, const QString &sheetName,
               const ExportBoxes &boxes)
{
    const exchange::SheetTarget target = exchange::sheetTarget(chosen, chosenFilter);
    QString reason;
    if (!exchange::writeSheet(target.path, target.format, rows, &reason, sheetName)) {
        showBox(boxes.failed, QStringLiteral("\n") + reason);
        return false;
    }
    showBox(boxes.done, QStringLiteral("\n") + QDir::toNativeSeparators(target.path));
    return true;
}

bool exportRows(const QList<QVariantList> &rows, const QString &title, const QString &name, const QString &sheetName,
                const ExportBoxes &boxes)
{
    if (rows.size() < 2) {
        showBox(boxes.nothing);
        return false;
    }
    QString filter;
    const QString chosen = askExportFile(title, name, {}, &filter);
    return !chosen.isEmpty() && writeRows(rows, chosen, filter, sheetName, boxes);
}

namespace {

const QString kExportCaption = QStringLiteral("导出…");

} // namespace

QAction *addGroupExport(ContextMenu *menu, Connection &db, const GroupExport &what)
{
    return menu->addAction(kExportCaption, QStringLiteral("m_export"), [&db, what](const MenuTarget &target) {
        DbResult failure;
        // Background writers wait: an export of notes would keep a commit of theirs waiting.
        const app::WritePause pause;
        const QList<QVariantList> rows = groupRows(db, what.definition, what.groupColumn, target.data, &failure);
        if (!failure) {
            showBox(what.boxes.failed, QStringLiteral("\n") + failure.reason);
            return;
        }
        exportRows(rows, QStringLiteral("导出"), target.label, what.sheetName, what.boxes);
    });
}

QAction *addListExport(ContextMenu *menu, views::DataView *list, const QString &name, const QString &sheetName,
                       const ExportBoxes &boxes)
{
    return menu->addAction(kExportCaption, QStringLiteral("m_export"), [list, name, sheetName, boxes](const MenuTarget &) {
        exportRows(shownRows(*list->store()), QStringLiteral("导出"), name, sheetName, boxes);
    });
}

} // namespace pagekit
