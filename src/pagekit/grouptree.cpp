#include "pagekit/grouptree.h"

#include "app/transaction.h"
#include "views/datastore.h"
#include "widgets/handletree.h"

namespace pagekit {

using widgets::TreeItem;
using widgets::TreeNavigation;

GroupTree::GroupTree(widgets::HandleTree *tree, const GroupTreeSpec &spec)
    : m_tree(tree)
    , m_spec(spec)
{
    m_tree->setPictures(spec.pictures);
}

long GroupTree::root() const
{
    return m_tree->findItem(TreeNavigation::Root);
}

QList<Group> GroupTree::build()
{
    m_tree->setRedraw(false);
    TreeItem root;
    root.label = m_spec.rootLabel;
    root.data = QStringLiteral("%");
    root.pictureIndex = RootPicture;
    root.selectedPictureIndex = RootPicture;
    root.children = m_spec.rootHasChildren;
    const long rootHandle = m_tree->insertItemLast(0, root);

    views::DataStore ds;
    ds.setDataObject(m_spec.groupView);
    ds.setTransObject(sqlca);
    ds.retrieve();
    QList<Group> groups;
    QList<TreeItem> items;
    for (long row = 1; row <= ds.rowCount(); ++row) {
        const Group g{ds.getItemString(row, m_spec.groupCode), ds.getItemString(row, m_spec.groupName)};
        TreeItem item;
        item.label = g.name;
        item.data = g.code;
        item.pictureIndex = m_spec.deletedGroupPicture && g.code.toLower() == QStringLiteral("z") ? DeletedGroupPicture
                                                                                                : GroupPicture;
        item.selectedPictureIndex = item.pictureIndex;
        item.children = true;
        groups << g;
        items << item;
    }
    if (!items.isEmpty()) {
        m_tree->insertItemsLast(rootHandle, items);
        m_tree->expandItem(rootHandle);
    }
    m_tree->setRedraw(true);
    return groups;
}

void GroupTree::clear()
{
    m_tree->deleteItem(root());
}

bool GroupTree::of_fillgroup(long handle, const QString &code)
{
    views::DataStore ds;
    ds.setDataObject(m_spec.memberView);
    ds.setTransObject(sqlca);
    ds.retrieve({code});
    const long rows = ds.rowCount();
    if (rows < 1)
        return false;
    QList<TreeItem> members;
    members.reserve(rows);
    for (long row = 1; row <= rows; ++row) {
        TreeItem &m = members.emplace_back();
        m.label = ds.getItemString(row, m_spec.memberLabel);
        m.data = m_spec.memberDataIsNumber ? QVariant(qlonglong(ds.getItemNumber(row, m_spec.memberData)))
                                           : QVariant(ds.getItemString(row, m_spec.memberData));
        m.pictureIndex = MemberPicture;
        m.selectedPictureIndex = MemberPicture;
    }
    m_tree->insertItemsLast(handle, members);
    return true;
}

void GroupTree::itempopulate(long handle)
{
    m_tree->setRedraw(false);
    TreeItem item;
    if (m_tree->getItem(handle, item) && item.level == GroupLevel) {
        if (!of_fillgroup(handle, item.data.toString())) {
            item.children = false;
            m_tree->setItem(handle, item);
        }
        m_tree->selectItem(handle);
    }
    m_tree->setRedraw(true);
}

bool GroupTree::of_locate(const QString &code, const QString &label)
{
    const long group = m_tree->findChildByData(root(), code);
    if (group == 0)
        return false;
    // Expanding fills the group on its first expansion, which selects it and lists it.
    m_tree->expandItem(group);
    if (!label.isEmpty())
        if (const long member = m_tree->findChildByLabel(group, label))
            m_tree->selectItem(member);
    return true;
}

} // namespace pagekit
