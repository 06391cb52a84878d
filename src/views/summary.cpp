#include "views/summary.h"

#include "views/format.h"

#include <cmath>

namespace views {

std::optional<double> Summary::columnValue(long row, const QString &name) const
{
    const QVariant v = m_store->getItem(row, name);
    if (v.isNull())
        return std::nullopt;
    return m_store->getItemNumber(row, name);
}

std::optional<double> Summary::value(const QString &name) const
{
    const auto cached = m_cache.constFind(name);
    if (cached != m_cache.cend())
        return *cached;
    const Compute *c = def().compute(name);
    std::optional<double> v;
    if (c) {
        switch (c->kind) {
        case ComputeKind::Text:
            break;
        case ComputeKind::Count:
            v = double(m_store->valueCount(c->operand));
            break;
        case ComputeKind::Sum: {
            // Empty values are skipped; no value at all adds up to 0. Each value counts as it is
            // shown, in whole units of the format's last decimal (cents): in binary fractions
            // 0.10 + 0.20 is not 0.30, and a balance of nothing would come out a hair above 0.
            const double unit = shownUnitsPerOne(c->format);
            double sum = 0;
            if (def().columnIndex(c->operand) >= 0)
                for (long r = 1; r <= m_store->rowCount(); ++r) {
                    const double x = m_store->getItemNumber(r, c->operand);
                    sum += unit > 0 ? std::round(x * unit) : x;
                }
            v = unit > 0 ? sum / unit : sum;
            break;
        }
        case ComputeKind::Difference: {
            const auto a = value(c->operand);
            const auto b = value(c->operand2);
            if (a && b)
                v = roundedAsShown(*a - *b, c->format);
            break;
        }
        }
    }
    m_cache.insert(name, v);
    return v;
}

QString Summary::text(const Compute &c) const
{
    if (c.kind == ComputeKind::Text)
        return c.text;
    const auto v = value(c.name);
    if (!v)
        return QString();
    const QString number = c.kind == ComputeKind::Count ? QString::number(qint64(*v))
                                                         : formatValue(*v, c.format, ColumnType::Number);
    return number + c.suffix;
}

QColor Summary::ruleColor(const ColorRule &rule, long row) const
{
    // The value is compared as it is shown: a balance that shows ".00" is no gain.
    const Compute *field = def().compute(rule.operand);
    const std::optional<double> v = field ? value(rule.operand) : columnValue(row, rule.operand);
    const Column *column = field ? nullptr : def().column(rule.operand);
    const QString format = field ? field->format : column ? column->displayFormat : QString();
    return v && roundedAsShown(*v, format) > rule.threshold ? rule.above : rule.otherwise;
}

QColor Summary::color(const Compute &c) const
{
    if (c.colorRule.isSet())
        return ruleColor(c.colorRule, 0);
    return c.textColor;
}

} // namespace views
