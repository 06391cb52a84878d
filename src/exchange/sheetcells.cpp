// What the spreadsheet writers share: compiled into the exchange room (the CSV writer) and into the
// module of the workbook writers alike, as the module holds no room.

#include "exchange/pendingfile.h"
#include "exchange/sheetwriters_p.h"

#include <QDir>
#include <QLocale>
#include <cmath>

namespace exchange {

QString withSystemText(const QString &reason, const QString &systemText)
{
    return systemText.isEmpty() ? reason : reason + QStringLiteral(": ") + systemText;
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
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
