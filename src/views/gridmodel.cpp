#include "views/gridmodel.h"

#include "views/format.h"

#include <QApplication>
#include <QPalette>

namespace views::detail {

GridModel::GridModel(DataStore *store, const Lookups *lookups, QObject *parent)
    : QAbstractTableModel(parent)
    , m_store(store)
    , m_lookups(lookups)
    , m_def(store->definition())
    , m_columns(m_def->gridColumns())
    , m_summary(store)
{
    followStore();
}

void GridModel::followStore()
{
    DataStore *store = m_store;
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

void GridModel::attach()
{
    followStore();
    beginResetModel();
    m_detached = false;
    endResetModel();
    invalidate();
}

void GridModel::invalidate()
{
    m_summary.invalidate();
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

QString GridModel::summaryText(const Compute &c) const
{
    return m_summary.text(c);
}

QColor GridModel::summaryColor(const Compute &c) const
{
    return m_summary.color(c);
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
            return m_summary.ruleColor(col.colorRule, row);
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
