#pragma once
// A tree whose items are reached by handles, as the group trees of the pages use it: items carry a
// label, a data value, a picture and a selected picture, and a has-children flag; an item marked as
// having children is filled by its page the first time it is expanded (itemPopulate).

#include <QTreeView>
#include <QVariant>
#include <memory>

namespace widgets {

struct TreeItem
{
    QString label;
    QVariant data;
    int pictureIndex = 0;          // 1-based into the picture list; 0 = none
    int selectedPictureIndex = 0;
    bool children = false;         // offers to expand before it has children
    // Filled by getItem, ignored by insert and setItem:
    long handle = 0;
    int level = 0;                 // 1 for a top-level item
    bool expanded = false;
    bool selected = false;
    bool populated = false;
};

enum class TreeNavigation { Root, Child, Next, Previous, Parent, Current };

class HandleTreeModel;

class HandleTree : public QTreeView
{
    Q_OBJECT
public:
    explicit HandleTree(QWidget *parent = nullptr);
    ~HandleTree() override;

    // Picture files, numbered from 1 in this order.
    void setPictures(const QStringList &files);

    // Inserts as the last child of `parent` (0 = top level); returns the new handle, or 0.
    long insertItemLast(long parent, const TreeItem &item);
    // The same for many items at once (one notification to the view).
    QList<long> insertItemsLast(long parent, const QList<TreeItem> &items);
    bool getItem(long handle, TreeItem &item) const;
    bool setItem(long handle, const TreeItem &item);
    bool deleteItem(long handle);
    long findItem(TreeNavigation how, long handle = 0) const;
    int itemLevel(long handle) const;
    // The first child of `parent` whose data (as text) or label equals `value`, or 0.
    long findChildByData(long parent, const QString &value) const;
    long findChildByLabel(long parent, const QString &label) const;
    long childCount(long handle) const;

    // Expanding an item that was never expanded raises itemPopulate first.
    bool expandItem(long handle);
    bool collapseItem(long handle);
    bool selectItem(long handle);
    // Stops and restarts repainting (pairs may nest).
    void setRedraw(bool on);

    // Where the item is drawn, in viewport coordinates (for tests); empty when not shown.
    QRect itemRect(long handle) const;
    long itemAt(const QPoint &viewportPos) const;

signals:
    void itemPopulate(long handle);
    void selectionChanged(long oldHandle, long newHandle);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    friend class HandleTreeModel;
    void populate(long handle);

    std::unique_ptr<HandleTreeModel> m_model;
    long m_current = 0;
    int m_redrawOff = 0;
    bool m_populating = false;
};

} // namespace widgets
