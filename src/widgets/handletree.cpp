#include "widgets/handletree.h"

#include "widgets/handletreemodel.h"

#include <QHeaderView>

namespace widgets {

HandleTree::HandleTree(QWidget *parent)
    : QTreeView(parent)
    , m_model(std::make_unique<HandleTreeModel>(this))
{
    setModel(m_model.get());
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(true);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &now, const QModelIndex &) {
                const TreeNode *n = m_model->node(now);
                const long newHandle = n ? n->handle : 0;
                if (newHandle == m_current)
                    return;
                const long old = m_current;
                m_current = newHandle;
                m_model->setCurrent(newHandle);
                emit selectionChanged(old, newHandle);
            });
    // An expansion by the user that did not go through fetchMore still fills the item once.
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex &i) { m_model->populateIfNeeded(m_model->node(i)); });
}

HandleTree::~HandleTree()
{
    // The model outlives the view's last look at it.
    setModel(nullptr);
}

void HandleTree::focusInEvent(QFocusEvent *event)
{
    // Taking the focus must not choose an item: only the user (or the page) selects.
    const bool hadCurrent = selectionModel()->currentIndex().isValid();
    {
        const QSignalBlocker block(selectionModel());
        QTreeView::focusInEvent(event);
        if (!hadCurrent)
            selectionModel()->clear();
    }
    viewport()->update();
}

void HandleTree::setPictures(const QStringList &files)
{
    m_model->setPictures(files);
}

long HandleTree::insertItemLast(long parent, const TreeItem &item)
{
    const QList<long> h = insertItemsLast(parent, {item});
    return h.isEmpty() ? 0 : h.first();
}

QList<long> HandleTree::insertItemsLast(long parent, const QList<TreeItem> &items)
{
    TreeNode *p = nullptr;
    if (parent != 0 && !(p = m_model->node(parent)))
        return {};
    return m_model->insertLast(p, items);
}

bool HandleTree::getItem(long handle, TreeItem &item) const
{
    const TreeNode *n = m_model->node(handle);
    if (!n)
        return false;
    item.label = n->label;
    item.data = n->data;
    item.pictureIndex = n->picture;
    item.selectedPictureIndex = n->selectedPicture;
    item.children = n->childrenFlag;
    item.handle = n->handle;
    item.level = itemLevel(handle);
    item.expanded = isExpanded(m_model->indexOf(n));
    item.selected = handle == m_current;
    item.populated = n->populated;
    return true;
}

bool HandleTree::setItem(long handle, const TreeItem &item)
{
    TreeNode *n = m_model->node(handle);
    if (!n)
        return false;
    m_model->update(n, item);
    return true;
}

bool HandleTree::deleteItem(long handle)
{
    TreeNode *n = m_model->node(handle);
    if (!n)
        return false;
    // Deleting the current item (or its ancestor) leaves nothing selected.
    for (const TreeNode *c = m_model->node(m_current); c; c = c->parent)
        if (c == n) {
            m_current = 0;
            m_model->setCurrent(0);
            break;
        }
    const QSignalBlocker block(selectionModel());
    m_model->remove(n);
    // The selection model moves its current index to a neighbour; the tree's own current stays empty,
    // so that selecting that neighbour later is reported.
    if (m_current == 0)
        selectionModel()->clear();
    return true;
}

long HandleTree::findItem(TreeNavigation how, long handle) const
{
    const TreeNode *n = m_model->node(handle);
    const TreeNode *found = nullptr;
    switch (how) {
    case TreeNavigation::Root:
        found = m_model->topLevel().empty() ? nullptr : m_model->topLevel().front();
        break;
    case TreeNavigation::Current:
        found = m_model->node(m_current);
        break;
    case TreeNavigation::Child:
        found = n && !n->children.empty() ? n->children.front() : nullptr;
        break;
    case TreeNavigation::Parent:
        found = n ? n->parent : nullptr;
        break;
    case TreeNavigation::Next:
    case TreeNavigation::Previous: {
        if (!n)
            break;
        const auto &list = n->parent ? n->parent->children : m_model->topLevel();
        const int r = n->row + (how == TreeNavigation::Next ? 1 : -1);
        found = r >= 0 && r < int(list.size()) ? list[size_t(r)] : nullptr;
        break;
    }
    }
    return found ? found->handle : 0;
}

int HandleTree::itemLevel(long handle) const
{
    int level = 0;
    for (const TreeNode *n = m_model->node(handle); n; n = n->parent)
        ++level;
    return level;
}

long HandleTree::findChildByData(long parent, const QString &value) const
{
    if (const TreeNode *p = m_model->node(parent))
        for (const TreeNode *c : p->children)
            if (c->data.toString() == value)
                return c->handle;
    return 0;
}

long HandleTree::findChildByLabel(long parent, const QString &label) const
{
    if (const TreeNode *p = m_model->node(parent))
        for (const TreeNode *c : p->children)
            if (c->label == label)
                return c->handle;
    return 0;
}

long HandleTree::childCount(long handle) const
{
    const TreeNode *n = m_model->node(handle);
    return n ? long(n->children.size()) : 0;
}

void HandleTree::populate(long handle)
{
    if (m_populating)
        return;
    m_populating = true;
    emit itemPopulate(handle);
    m_populating = false;
}

bool HandleTree::expandItem(long handle)
{
    TreeNode *n = m_model->node(handle);
    if (!n)
        return false;
    m_model->populateIfNeeded(n);
    // The populate may have removed the item (a rebuild); look it up again.
    if (!(n = m_model->node(handle)))
        return false;
    expand(m_model->indexOf(n));
    return true;
}

bool HandleTree::collapseItem(long handle)
{
    const TreeNode *n = m_model->node(handle);
    if (!n)
        return false;
    collapse(m_model->indexOf(n));
    return true;
}

bool HandleTree::selectItem(long handle)
{
    const TreeNode *n = m_model->node(handle);
    if (!n)
        return false;
    const QModelIndex i = m_model->indexOf(n);
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    scrollTo(i);
    return true;
}

void HandleTree::setRedraw(bool on)
{
    m_redrawOff += on ? -1 : 1;
    if (m_redrawOff < 0)
        m_redrawOff = 0;
    viewport()->setUpdatesEnabled(m_redrawOff == 0);
    if (m_redrawOff == 0)
        viewport()->update();
}

QRect HandleTree::itemRect(long handle) const
{
    const TreeNode *n = m_model->node(handle);
    return n ? visualRect(m_model->indexOf(n)) : QRect();
}

long HandleTree::itemAt(const QPoint &viewportPos) const
{
    const TreeNode *n = m_model->node(indexAt(viewportPos));
    return n ? n->handle : 0;
}

} // namespace widgets
