#include "exchange/spreadsheet.h"

#include "exchange/pendingfile.h"
#include "exchange/sheetwriters_p.h"
#include "platform/modules.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace exchange {

QStringList sheetFilters()
{
    return {
        QStringLiteral("Excel 97-2003 工作簿 (*.xls)"),
        QStringLiteral("Excel 工作簿 (*.xlsx)"),
        QStringLiteral("CSV UTF-8 逗号分隔文件 (*.csv)"),
    };
}

QString sheetSuffix(SheetFormat format)
{
    switch (format) {
    case SheetFormat::Xls:
        return QStringLiteral("xls");
    case SheetFormat::Xlsx:
        return QStringLiteral("xlsx");
    case SheetFormat::Csv:
        return QStringLiteral("csv");
    }
    return QString();
}

namespace {

std::optional<SheetFormat> formatOfSuffixText(const QString &suffix)
{
    for (SheetFormat f : {SheetFormat::Xls, SheetFormat::Xlsx, SheetFormat::Csv})
        if (suffix.compare(sheetSuffix(f), Qt::CaseInsensitive) == 0)
            return f;
    return std::nullopt;
}

} // namespace

std::optional<SheetFormat> formatOfSuffix(const QString &fileName)
{
    return formatOfSuffixText(QFileInfo(fileName).suffix());
}

std::optional<SheetFormat> formatOfFilter(const QString &filter)
{
    // "名称 (*.xls *.xlsx)": the first pattern that names a format decides.
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    for (const QRegularExpressionMatch &m : pattern.globalMatch(filter))
        if (const auto f = formatOfSuffixText(m.captured(1)))
            return f;
    return std::nullopt;
}

SheetTarget sheetTarget(const QString &fileName, const QString &selectedFilter)
{
    if (const auto f = formatOfSuffix(fileName))
        return {fileName, *f};
    const SheetFormat f = formatOfFilter(selectedFilter).value_or(SheetFormat::Xls);
    QString path = fileName;
    if (!path.endsWith(QLatin1Char('.')))
        path += QLatin1Char('.');
    return {path + sheetSuffix(f), f};
}

bool writeSheet(const QString &path, SheetFormat format, const QList<QVariantList> &rows, QString *reason,
                const QString &sheetName)
{
    QString why;
    PendingFile pending(path);
    bool ok = pending.create(&why);
    if (ok) {
        switch (format) {
        case SheetFormat::Xls:
        case SheetFormat::Xlsx:
            // The workbook writers and their libraries are a module, loaded by the first export.
            if (auto *writers = platform::module<detail::SheetWriters>(QStringLiteral("sheets"), &why))
                ok = format == SheetFormat::Xls ? writers->writeXls(pending.tempPath(), rows, sheetName, &why)
                                                : writers->writeXlsx(pending.tempPath(), rows, sheetName, &why);
            else
                ok = false;
            break;
        case SheetFormat::Csv:
            ok = detail::writeCsv(pending.tempPath(), rows, &why);
            break;
        }
    }
    if (ok)
        ok = pending.commit(&why);
    if (!ok) {
        pending.discard();
        if (reason)
            *reason = why;
    }
    return ok;
}


} // namespace exchange
