#include "views/format.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace views {

QString applyTextMask(const QString &mask, const QString &text)
{
    QString out;
    out.reserve(mask.size() + 2);
    qsizetype next = 0;
    for (const QChar m : mask) {
        if (next >= text.size())
            break;
        if (m == QLatin1Char('#'))
            out += text.at(next++);
        else
            out += m;
    }
    if (next < text.size())
        out += QStringView(text).mid(next);
    return out;
}

QString formatNumber(double value, const QString &format)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const qsizetype point = format.indexOf(QLatin1Char('.'));
    const QStringView integerPart = point < 0 ? QStringView(format) : QStringView(format).left(point);
    const int decimals = point < 0 ? 0 : int(format.size() - point - 1);
    const bool grouping = integerPart.contains(QLatin1Char(','));
    const int minDigits = int(integerPart.count(QLatin1Char('0')));

    const QString fixed = QString::number(std::fabs(value), 'f', decimals);
    const qsizetype dot = fixed.indexOf(QLatin1Char('.'));
    QString digits = dot < 0 ? fixed : fixed.left(dot);
    const QString fraction = dot < 0 ? QString() : fixed.mid(dot);
    // Leading zeros beyond what the format asks for are dropped ("###" shows 0 as "").
    while (digits.size() > minDigits && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    while (digits.size() < minDigits)
        digits.prepend(QLatin1Char('0'));
    if (grouping) {
        for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
            digits.insert(i, QLatin1Char(','));
    }
    QString out = digits + fraction;
    // A value that rounds to zero shows no sign.
    bool nonZero = false;
    for (const QChar c : out)
        nonZero = nonZero || (c >= QLatin1Char('1') && c <= QLatin1Char('9'));
    return value < 0 && nonZero ? QLatin1Char('-') + out : out;
}

namespace {

QString shortestNumber(double v)
{
    if (v == std::floor(v) && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    // As many digits as reading it back needs: a field shown and saved untouched keeps its value.
    return QString::number(v, 'f', QLocale::FloatingPointShortest);
}

bool isNumberFormat(const QString &format)
{
    return format.contains(QLatin1Char('.')) || format.contains(QLatin1Char(',')) || format.contains(QLatin1Char('0'));
}

} // namespace

double shownUnitsPerOne(const QString &format)
{
    if (format.isEmpty() || !isNumberFormat(format))
        return 0;
    return std::pow(10.0, maskDecimals(format));
}

double roundedAsShown(double value, const QString &format)
{
    const double unit = shownUnitsPerOne(format);
    return unit > 0 ? std::round(value * unit) / unit : value;
}

QString formatValue(const QVariant &value, const QString &format, ColumnType type)
{
    if (value.isNull() || !value.isValid())
        return QString();
    if (type == ColumnType::Text) {
        const QString text = value.toString();
        return format.isEmpty() ? text : applyTextMask(format, text);
    }
    if (type == ColumnType::Integer && format.isEmpty())
        return QString::number(value.toLongLong());
    const double v = value.toDouble();
    if (!format.isEmpty() && isNumberFormat(format))
        return formatNumber(v, format);
    return shortestNumber(v);
}

MaskKind maskKind(const QString &mask)
{
    if (mask.isEmpty())
        return MaskKind::None;
    if (mask == QStringLiteral("####-##-##"))
        return MaskKind::Date;
    if (mask.contains(QLatin1Char('.')) || mask.contains(QLatin1Char(',')))
        return MaskKind::Decimal;
    return MaskKind::Digits;
}

int maskDigits(const QString &mask)
{
    int n = 0;
    for (const QChar c : mask) {
        if (c == QLatin1Char('.'))
            break;
        if (c == QLatin1Char('#') || c == QLatin1Char('0'))
            ++n;
    }
    return n;
}

int maskDecimals(const QString &mask)
{
    const qsizetype point = mask.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : int(mask.size() - point - 1);
}

QString editText(const Column &column, const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return QString();
    if (column.type == ColumnType::Text)
        return value.toString();
    if (column.type == ColumnType::Integer)
        return QString::number(value.toLongLong());
    if (maskKind(column.editMask) == MaskKind::Decimal)
        return QString::number(value.toDouble(), 'f', maskDecimals(column.editMask));
    // Without a mask, a sum of money starts with the decimals its display format shows ("7.50"),
    // as long as they hold every digit of the value: what would be lost is shown instead.
    const double v = value.toDouble();
    if (maskKind(column.editMask) == MaskKind::None && isNumberFormat(column.displayFormat))
        if (const int decimals = maskDecimals(column.displayFormat); decimals > 0) {
            const QString fixed = QString::number(v, 'f', decimals);
            if (fixed.toDouble() == v)
                return fixed;
        }
    return shortestNumber(v);
}

bool parseEditText(const Column &column, const QString &input, QVariant *value, QString *reason)
{
    const QString label = column.label.isEmpty() ? column.name : column.label;
    auto refuse = [&](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    const MaskKind kind = maskKind(column.editMask);

    if (column.type == ColumnType::Text) {
        QString text = input;
        if (kind == MaskKind::Date) {
            // The editor shows "yyyy-mm-dd"; the row keeps the eight digits.
            text.remove(QLatin1Char('-'));
            text = text.trimmed();
            if (!text.isEmpty()) {
                const QDate date = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
                if (text.size() != 8 || !date.isValid())
                    return refuse(QStringLiteral("“%1”不是有效的日期,请按“年-月-日”输入,例如 2009-02-14。").arg(label));
            }
        } else if (kind == MaskKind::Digits) {
            const int max = maskDigits(column.editMask);
            for (const QChar c : text)
                if (!c.isDigit() || c.unicode() > 127)
                    return refuse(QStringLiteral("“%1”只能输入数字。").arg(label));
            if (text.size() > max)
                return refuse(QStringLiteral("“%1”最多只能输入%2位数字。").arg(label).arg(max));
        }
        if (column.width > 0 && text.size() > column.width)
            return refuse(QStringLiteral("“%1”最多只能输入%2个字符。").arg(label).arg(column.width));
        *value = text;
        return true;
    }

    QString text = input.trimmed();
    text.remove(QLatin1Char(','));
    if (text.isEmpty()) {
        *value = QVariant();
        return true;
    }
    bool ok = false;
    if (column.type == ColumnType::Integer) {
        const qlonglong n = text.toLongLong(&ok);
        if (!ok)
            return refuse(QStringLiteral("“%1”必须是整数。").arg(label));
        if (column.spinMax > column.spinMin && (n < column.spinMin || n > column.spinMax))
            return refuse(QStringLiteral("“%1”必须在%2到%3之间。").arg(label).arg(column.spinMin).arg(column.spinMax));
        if (kind == MaskKind::Digits && text.size() > maskDigits(column.editMask))
            return refuse(QStringLiteral("“%1”最多只能输入%2位数字。").arg(label).arg(maskDigits(column.editMask)));
        *value = n;
        return true;
    }
    // Plain decimals only: an exponent ("1E31") would slip past the mask's limit on digits.
    static const QRegularExpression plain(QStringLiteral("^-?[0-9]*\\.?[0-9]*$"));
    const double d = text.toDouble(&ok);
    if (!ok || !std::isfinite(d) || !plain.match(text).hasMatch())
        return refuse(QStringLiteral("“%1”必须是数字。").arg(label));
    if (kind == MaskKind::Decimal) {
        const qsizetype dot = text.indexOf(QLatin1Char('.'));
        const QString whole = (dot < 0 ? text : text.left(dot)).remove(QLatin1Char('-'));
        const qsizetype decimals = dot < 0 ? 0 : text.size() - dot - 1;
        if (whole.size() > maskDigits(column.editMask) || decimals > maskDecimals(column.editMask))
            return refuse(QStringLiteral("“%1”最多%2位整数、%3位小数。")
                              .arg(label).arg(maskDigits(column.editMask)).arg(maskDecimals(column.editMask)));
    }
    *value = d;
    return true;
}

} // namespace views
