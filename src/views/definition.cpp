#include "views/definition.h"

#include "views/registry.h"

#include "app/sqlerror.h"

#include <QHash>

namespace views {

QString Compute::objectType() const
{
    return kind == ComputeKind::Text ? QStringLiteral("text") : QStringLiteral("compute");
}

QColor Banding::colorOf(long row) const
{
    const long m = row % 10;
    return (m >= 1 && m <= 5) ? first : second;
}

int Definition::columnIndex(const QString &name) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const Column *Definition::column(const QString &name) const
{
    const int i = columnIndex(name);
    return i < 0 ? nullptr : &columns.at(i);
}

const Compute *Definition::compute(const QString &name) const
{
    for (const Compute &c : summary)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QList<int> Definition::gridColumns() const
{
    QList<int> out;
    if (gridOrder.isEmpty()) {
        for (int i = 0; i < columns.size(); ++i)
            out << i;
        return out;
    }
    for (const QString &n : gridOrder) {
        const int i = columnIndex(n);
        if (i >= 0)
            out << i;
    }
    return out;
}

QString definitionProblem(const Definition &d)
{
    QStringList problems;
    const auto needColumn = [&](const QString &name, const QString &where) {
        if (d.columnIndex(name) < 0)
            problems << QStringLiteral("%1 names no column \"%2\"").arg(where, name);
    };
    const auto needOperand = [&](const QString &name, const QString &where) {
        if (d.columnIndex(name) < 0 && !d.compute(name))
            problems << QStringLiteral("%1 names no column or summary field \"%2\"").arg(where, name);
    };
    for (const QString &c : d.gridOrder)
        needColumn(c, QStringLiteral("the grid order"));
    for (const QString &c : d.keyColumns)
        needColumn(c, QStringLiteral("the key"));
    for (const Compute &c : d.summary) {
        needColumn(c.underColumn, QStringLiteral("summary field %1").arg(c.name));
        if (c.kind == ComputeKind::Count || c.kind == ComputeKind::Sum)
            needColumn(c.operand, QStringLiteral("summary field %1").arg(c.name));
        if (c.kind == ComputeKind::Difference) {
            for (const QString &f : {c.operand, c.operand2})
                if (!d.compute(f))
                    problems << QStringLiteral("summary field %1 names no summary field \"%2\"").arg(c.name, f);
        }
        if (c.colorRule.isSet())
            needOperand(c.colorRule.operand, QStringLiteral("the colour of %1").arg(c.name));
    }
    for (const Column &c : d.columns)
        if (c.colorRule.isSet())
            needOperand(c.colorRule.operand, QStringLiteral("the colour of %1").arg(c.name));
    return problems.isEmpty() ? QString() : d.name + QStringLiteral(": ") + problems.join(QStringLiteral("; "));
}

namespace {

struct Registry
{
    QList<Definition> all;
    QHash<QString, int> byName;   // lower-case name -> index

    Registry()
    {
        for (auto page : {addressbookViews, notebookViews, assetsViews, ledgerViews, settingsViews})
            for (Definition &d : page())
                add(std::move(d));
        // The captions of the columns a user writes, so a refused value names its field. Page files
        // register their own where a table has no single label for a column.
        for (const Definition &d : all) {
            if (!d.isUpdatable())
                continue;
            for (const Column &c : d.columns)
                if (c.updatable && !c.label.isEmpty() && columnCaption(d.updateTable, c.name).isEmpty())
                    registerColumnCaption(d.updateTable, c.name, c.label);
        }
        registerExtraCaptions();
    }

    void add(Definition d)
    {
        // A misspelt column would show as a blank or an ignored rule: a programming error, refused
        // where every test and every start sees it.
        const QString problem = definitionProblem(d);
        if (!problem.isEmpty())
            qFatal("view definition refused: %s", qPrintable(problem));
        const QString key = d.name.toLower();
        Q_ASSERT_X(!byName.contains(key), "views::Registry", qPrintable(d.name));
        byName.insert(key, int(all.size()));
        all.append(std::move(d));
    }
};

const Registry &registry()
{
    static const Registry r;
    return r;
}

} // namespace

const Definition *definition(const QString &name)
{
    const Registry &r = registry();
    const auto it = r.byName.constFind(name.toLower());
    return it == r.byName.cend() ? nullptr : &r.all.at(*it);
}

QStringList definitionNames()
{
    QStringList out;
    for (const Definition &d : registry().all)
        out << d.name;
    return out;
}

} // namespace views
