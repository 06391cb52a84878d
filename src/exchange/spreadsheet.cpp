#include "exchange/spreadsheet.h"

#include "exchange/pendingfile.h"
#include "exchange/sheetwriters_p.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

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
            ok = detail::writeXls(pending.tempPath(), rows, sheetName, &why);
            break;
        case SheetFormat::Xlsx:
            ok = detail::writeXlsx(pending.tempPath(), rows, sheetName, &why);
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

namespace detail {

CellKind kindOf(const QVariant &value)
{
    if (value.isNull())
        return CellKind::Empty;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return CellKind::Number;
    case QMetaType::Double:
    case QMetaType::Float:
        // A spreadsheet has no infinity; such a value keeps its text.
        return std::isfinite(value.toDouble()) ? CellKind::Number : CellKind::Text;
    case QMetaType::QString:
        // An empty text is an empty cell, as it is in the formats that cannot tell the two apart.
        return value.toString().isEmpty() ? CellKind::Empty : CellKind::Text;
    default:
        return CellKind::Text;
    }
}

QString numberText(const QVariant &value)
{
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    return value.toString();
}

QString textTooLong(qsizetype row, qsizetype column)
{
    return QStringLiteral("第 %1 行第 %2 列的文字超过 %3 个字符,工作簿的单元格放不下;请改存为 CSV 文件。")
        .arg(row + 1)
        .arg(column + 1)
        .arg(kMaxCellText);
}

namespace {

constexpr qsizetype kMaxSheetName = 31;

QString cleanSheetName(const QString &name)
{
    QString clean;
    for (QChar c : name)
        if (!QStringLiteral("[]:*?/\\").contains(c) && c.unicode() >= 0x20)
            clean += c;
    while (clean.startsWith(QLatin1Char('\'')))
        clean.remove(0, 1);
    while (clean.endsWith(QLatin1Char('\'')))
        clean.chop(1);
    clean = clean.trimmed();
    return clean.isEmpty() ? QStringLiteral("Sheet") : clean;
}

} // namespace

QList<SheetSpan> planSheets(qsizetype rowCount, qsizetype maxRows, const QString &sheetName)
{
    const QString base = cleanSheetName(sheetName);
    const qsizetype records = std::max<qsizetype>(0, rowCount - 1);
    const qsizetype perSheet = maxRows - 1;
    const qsizetype sheets = std::max<qsizetype>(1, (records + perSheet - 1) / perSheet);
    QList<SheetSpan> plan;
    for (qsizetype i = 0; i < sheets; ++i) {
        SheetSpan s;
        const QString number = i == 0 ? QString() : QStringLiteral(" (%1)").arg(i + 1);
        s.name = base.left(kMaxSheetName - number.size()) + number;
        s.first = 1 + i * perSheet;
        s.count = std::min(perSheet, records - i * perSheet);
        plan << s;
    }
    return plan;
}

} // namespace detail

} // namespace exchange
