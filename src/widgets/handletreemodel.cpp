#include "widgets/handletreemodel.h"

namespace widgets {

HandleTreeModel::HandleTreeModel(HandleTree *tree)
    : m_tree(tree)
    , m_slots(1, nullptr)
{
}

HandleTreeModel::~HandleTreeModel()
{
    for (TreeNode *n : m_top)
        release(n);
}

void HandleTreeModel::release(TreeNode *n)
{
    for (TreeNode *c : n->children)
        release(c);
    if (n->handle > 0 && n->handle < long(m_slots.size()))
        m_slots[size_t(n->handle)] = nullptr;
    delete n;
}

TreeNode *HandleTreeModel::node(long handle) const
{
    return handle > 0 && handle < long(m_slots.size()) ? m_slots[size_t(handle)] : nullptr;
}

TreeNode *HandleTreeModel::node(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<TreeNode *>(index.internalPointer()) : nullptr;
}

QModelIndex HandleTreeModel::indexOf(const TreeNode *n) const
{
    return n ? createIndex(n->row, 0, const_cast<TreeNode *>(n)) : QModelIndex();
}

QModelIndex HandleTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    const TreeNode *p = node(parent);
    const auto &list = p ? p->children : m_top;
    if (column != 0 || row < 0 || row >= int(list.size()))
        return {};
    return createIndex(row, 0, list[size_t(row)]);
}

QModelIndex HandleTreeModel::parent(const QModelIndex &child) const
{
    const TreeNode *n = node(child);
    return n ? indexOf(n->parent) : QModelIndex();
}

int HandleTreeModel::rowCount(const QModelIndex &parent) const
{
    const TreeNode *p = node(parent);
    return int(p ? p->children.size() : m_top.size());
}

int HandleTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool HandleTreeModel::hasChildren(const QModelIndex &parent) const
{
    const TreeNode *p = node(parent);
    if (!p)
        return !m_top.empty();
    return !p->children.empty() || p->childrenFlag;
}

QVariant HandleTreeModel::data(const QModelIndex &index, int role) const
{
    const TreeNode *n = node(index);
    if (!n)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return n->label;
    case Qt::DecorationRole: {
        const int picture = n->handle == m_current ? n->selectedPicture : n->picture;
        return picture > 0 && picture <= m_pictures.size() ? QVariant(m_pictures.at(picture - 1)) : QVariant();
    }
    default:
        return {};
    }
}

bool HandleTreeModel::canFetchMore(const QModelIndex &parent) const
{
    const TreeNode *n = node(parent);
    return n && n->childrenFlag && !n->populated;
}

void HandleTreeModel::fetchMore(const QModelIndex &parent)
{
    populateIfNeeded(node(parent));
}

bool HandleTreeModel::populateIfNeeded(TreeNode *n)
{
    if (!n || n->populated || !n->childrenFlag)
        return false;
    n->populated = true;
    m_tree->populate(n->handle);
    return true;
}

QList<long> HandleTreeModel::insertLast(TreeNode *parent, const QList<TreeItem> &items)
{
    QList<long> handles;
    if (items.isEmpty())
        return handles;
    auto &list = siblings(parent);
    const int first = int(list.size());
    beginInsertRows(indexOf(parent), first, first + int(items.size()) - 1);
    list.reserve(list.size() + size_t(items.size()));
    handles.reserve(items.size());
    for (const TreeItem &item : items) {
        auto *n = new TreeNode;
        n->handle = long(m_slots.size());
        n->parent = parent;
        n->row = int(list.size());
        n->label = item.label;
        n->data = item.data;
        n->picture = item.pictureIndex;
        n->selectedPicture = item.selectedPictureIndex;
        n->childrenFlag = item.children;
        m_slots.push_back(n);
        list.push_back(n);
        handles << n->handle;
    }
    endInsertRows();
    return handles;
}

void HandleTreeModel::update(TreeNode *n, const TreeItem &item)
{
    n->label = item.label;
    n->data = item.data;
    n->picture = item.pictureIndex;
    n->selectedPicture = item.selectedPictureIndex;
    const bool lostChildren = n->childrenFlag && !item.children && n->children.empty();
    n->childrenFlag = item.children;
    const QModelIndex i = indexOf(n);
    emit dataChanged(i, i);
    if (lostChildren) {
        // The view asks hasChildren again only after a layout change.
        emit layoutAboutToBeChanged({QPersistentModelIndex(i)});
        emit layoutChanged({QPersistentModelIndex(i)});
    }
}

void HandleTreeModel::remove(TreeNode *n)
{
    auto &list = siblings(n->parent);
    beginRemoveRows(indexOf(n->parent), n->row, n->row);
    list.erase(list.begin() + n->row);
    for (size_t r = size_t(n->row); r < list.size(); ++r)
        list[r]->row = int(r);
    release(n);
    endRemoveRows();
    if (m_top.empty()) {
        // Nothing refers to old handles once the tree is empty: number afresh.
        m_slots.assign(1, nullptr);
    }
}

void HandleTreeModel::setPictures(const QStringList &files)
{
    m_pictures.clear();
    for (const QString &f : files)
        m_pictures << QIcon(f);
    if (!m_top.empty())
        emit layoutChanged();
}

void HandleTreeModel::setCurrent(long handle)
{
    const long old = m_current;
    m_current = handle;
    for (long h : {old, handle})
        if (TreeNode *n = node(h)) {
            const QModelIndex i = indexOf(n);
            emit dataChanged(i, i, {Qt::DecorationRole});
        }
}

} // namespace widgets
