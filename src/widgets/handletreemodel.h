#pragma once
// The item store behind HandleTree: nodes addressed by handle, each knowing its row in its parent,
// so the view's index/parent calls cost nothing however many items a group holds.

#include "widgets/handletree.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <vector>

namespace widgets {

struct TreeNode
{
    long handle = 0;
    TreeNode *parent = nullptr;
    int row = 0;
    std::vector<TreeNode *> children;
    QString label;
    QVariant data;
    int picture = 0;
    int selectedPicture = 0;
    bool childrenFlag = false;
    bool populated = false;
};

class HandleTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit HandleTreeModel(HandleTree *tree);
    ~HandleTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    TreeNode *node(long handle) const;
    TreeNode *node(const QModelIndex &index) const;
    QModelIndex indexOf(const TreeNode *n) const;
    const std::vector<TreeNode *> &topLevel() const { return m_top; }

    QList<long> insertLast(TreeNode *parent, const QList<TreeItem> &items);
    void update(TreeNode *n, const TreeItem &item);
    void remove(TreeNode *n);
    void setPictures(const QStringList &files);
    void setCurrent(long handle);
    // The populate of an item runs once: from an expansion by the user or by expandItem.
    bool populateIfNeeded(TreeNode *n);

private:
    void release(TreeNode *n);
    std::vector<TreeNode *> &siblings(TreeNode *parent) { return parent ? parent->children : m_top; }

    HandleTree *m_tree;
    std::vector<TreeNode *> m_top;
    std::vector<TreeNode *> m_slots; // by handle; index 0 unused
    QList<QIcon> m_pictures;
    long m_current = 0;
};

} // namespace widgets
