#pragma once
// The arithmetic of a grid's summary band and of its colour rules, on the store alone: counts, sums
// and differences of summary fields, their texts in the definition's formats, and the colour a rule
// gives. No widget is involved, so what a grid shows can be computed and checked without one.

#include "views/datastore.h"
#include "views/definition.h"

#include <QColor>
#include <QHash>
#include <optional>

namespace views {

class Summary
{
public:
    explicit Summary(const DataStore *store) : m_store(store) {}

    // The value of a summary field; none for a fixed text or a difference with an empty side.
    std::optional<double> value(const QString &name) const;
    // What the band shows for the field: the fixed text, or the value formatted, then the suffix.
    QString text(const Compute &c) const;
    QColor color(const Compute &c) const;
    // The colour a rule gives row `row` (from 1), or the summary band (row 0).
    QColor ruleColor(const ColorRule &rule, long row) const;
    // The rows changed: values are computed again when next asked for.
    void invalidate() { m_cache.clear(); }

private:
    std::optional<double> columnValue(long row, const QString &name) const;
    const Definition &def() const { return *m_store->definition(); }

    const DataStore *m_store;
    mutable QHash<QString, std::optional<double>> m_cache;
};

} // namespace views
