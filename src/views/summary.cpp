#include "views/summary.h"

#include "views/format.h"

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
            // Empty values are skipped; no value at all adds up to 0.
            double sum = 0;
            if (def().columnIndex(c->operand) >= 0)
                for (long r = 1; r <= m_store->rowCount(); ++r)
                    sum += m_store->getItemNumber(r, c->operand);
            v = sum;
            break;
        }
        case ComputeKind::Difference: {
            const auto a = value(c->operand);
            const auto b = value(c->operand2);
            if (a && b)
                v = *a - *b;
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
    const std::optional<double> v = def().compute(rule.operand) ? value(rule.operand) : columnValue(row, rule.operand);
    return v && *v > rule.threshold ? rule.above : rule.otherwise;
}

QColor Summary::color(const Compute &c) const
{
    if (c.colorRule.isSet())
        return ruleColor(c.colorRule, 0);
    return c.textColor;
}

} // namespace views
