#include "views/gridmodel.h"

#include "views/format.h"

#include <QApplication>
#include <QPalette>

namespace views::detail {

GridModel::GridModel(DataStore *store, const Lookups *lookups, QObject *parent)
    : QAbstractTableModel(parent)
    , m_store(store)
    , m_lookups(lookups)
    , m_columns(store->definition()->gridColumns())
{
    // The store has already changed when it tells; the begin/end pairs only tell the views.
    connect(store, &DataStore::rowsReset, this, [this] {
        m_mutating = true;
        beginResetModel();
        endResetModel();
        m_mutating = false;
        invalidate();
    });
    connect(store, &DataStore::rowsInserted, this, [this](long row) {
        m_mutating = true;
        beginInsertRows({}, int(row - 1), int(row - 1));
        endInsertRows();
        m_mutating = false;
        invalidate();
    });
    connect(store, &DataStore::rowRemoved, this, [this](long row) {
        m_mutating = true;
        beginRemoveRows({}, int(row - 1), int(row - 1));
        endRemoveRows();
        m_mutating = false;
        invalidate();
    });
    connect(store, &DataStore::itemChanged, this, [this](long row, int) {
        if (!m_columns.isEmpty())
            emit dataChanged(index(int(row - 1), 0), index(int(row - 1), columnCount() - 1));
        invalidate();
    });
    connect(store, &DataStore::selectionChanged, this, [this](long row) {
        if (m_columns.isEmpty() || rowCount() == 0)
            return;
        const int first = row == 0 ? 0 : int(row - 1);
        const int last = row == 0 ? rowCount() - 1 : int(row - 1);
        emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::BackgroundRole, Qt::ForegroundRole});
    });
}

void GridModel::detach()
{
    disconnect(m_store, nullptr, this, nullptr);
    beginResetModel();
    m_detached = true;
    endResetModel();
}

void GridModel::invalidate()
{
    m_summary.clear();
    emit summaryChanged();
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || m_detached ? 0 : int(m_store->rowCount());
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || m_detached ? 0 : int(m_columns.size());
}

int GridModel::sectionOf(const QString &column) const
{
    const int c = def().columnIndex(column);
    return c < 0 ? -1 : int(m_columns.indexOf(c));
}

bool GridModel::anyEditable() const
{
    for (int c : m_columns)
        if (def().columns.at(c).editable)
            return true;
    return false;
}

QString GridModel::cellText(int row, int section) const
{
    const Column &col = columnAt(section);
    const QVariant v = m_store->getItem(row + 1, col.name);
    if (v.isNull())
        return QString();
    if (col.dropDown.isSet() || !col.codeTable.isEmpty())
        return m_lookups->displayOf(m_columns.at(section), v.toString());
    return formatValue(v, col.displayFormat, col.type);
}

std::optional<double> GridModel::columnValue(int row, const QString &name) const
{
    const QVariant v = m_store->getItem(row + 1, name);
    if (v.isNull())
        return std::nullopt;
    return m_store->getItemNumber(row + 1, name);
}

std::optional<double> GridModel::summaryValue(const QString &name) const
{
    const auto cached = m_summary.constFind(name);
    if (cached != m_summary.cend())
        return *cached;
    const Compute *c = def().compute(name);
    std::optional<double> v;
    if (c) {
        switch (c->kind) {
        case ComputeKind::Text:
            break;
        case ComputeKind::Count: {
            double n = 0;
            for (long r = 1; r <= m_store->rowCount(); ++r)
                n += m_store->getItem(r, c->operand).isNull() ? 0 : 1;
            v = n;
            break;
        }
        case ComputeKind::Sum: {
            // Empty values are skipped; no value at all adds up to 0.
            double sum = 0;
            const int col = def().columnIndex(c->operand);
            if (col >= 0)
                for (long r = 1; r <= m_store->rowCount(); ++r)
                    sum += m_store->getItemNumber(r, c->operand);
            v = sum;
            break;
        }
        case ComputeKind::Difference: {
            const auto a = summaryValue(c->operand);
            const auto b = summaryValue(c->operand2);
            if (a && b)
                v = *a - *b;
            break;
        }
        }
    }
    m_summary.insert(name, v);
    return v;
}

QString GridModel::summaryText(const Compute &c) const
{
    if (c.kind == ComputeKind::Text)
        return c.text;
    const auto v = summaryValue(c.name);
    if (!v)
        return QString();
    const QString number = c.kind == ComputeKind::Count ? QString::number(qint64(*v))
                                                         : formatValue(*v, c.format, ColumnType::Number);
    return number + c.suffix;
}

QColor GridModel::ruleColor(const ColorRule &rule, int row) const
{
    std::optional<double> v = def().compute(rule.operand) ? summaryValue(rule.operand) : columnValue(row, rule.operand);
    return v && *v > rule.threshold ? rule.above : rule.otherwise;
}

QColor GridModel::summaryColor(const Compute &c) const
{
    if (c.colorRule.isSet())
        return ruleColor(c.colorRule, -1);
    return c.textColor;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Column &col = columnAt(index.column());
    const long row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return cellText(index.row(), index.column());
    case Qt::EditRole:
        return m_store->getItem(row, col.name);
    case Qt::BackgroundRole:
        if (m_store->isSelected(row))
            return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
        if (def().banding.on)
            return def().banding.colorOf(row);
        return {};
    case Qt::ForegroundRole:
        if (m_store->isSelected(row))
            return QApplication::palette().color(QPalette::Active, QPalette::HighlightedText);
        if (col.colorRule.isSet())
            return ruleColor(col.colorRule, index.row());
        if (col.textColor.isValid())
            return col.textColor;
        return {};
    case Qt::TextAlignmentRole:
        return col.isNumeric() ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    return m_store->setItem(index.row() + 1, columnAt(index.column()).name, value);
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (columnAt(index.column()).editable && !columnAt(index.column()).readOnly)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return columnAt(section).label;
    return {};
}

} // namespace views::detail
