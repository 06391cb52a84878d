#include "pagekit/grouptreebuilder.h"

#include "app/connection.h"
#include "views/datastore.h"
#include "widgets/handletree.h"

#include <utility>

namespace pagekit {

using widgets::TreeItem;
using widgets::TreeNavigation;

GroupTreeBuilder::GroupTreeBuilder(Connection &db, const GroupTreeSpec &desc)
    : m_db(db)
    , m_spec(desc)
{
}

GroupTreeBuilder::GroupTreeBuilder(Connection &db, widgets::HandleTree *tree, const GroupTreeSpec &desc)
    : m_db(db)
    , m_spec(desc)
{
    setTree(tree);
}

void GroupTreeBuilder::setTree(widgets::HandleTree *tree)
{
    m_tree = tree;
    m_tree->setPictures(m_spec.pictures);
}

QList<Group> GroupTreeBuilder::readGroups() const
{
    views::DataStore ds;
    ds.setDataObject(m_spec.groupView);
    ds.setConnection(m_db);
    // A failed read says so with the database's reason, before the page's box of no groups.
    ds.setShowsErrorBox(true);
    ds.retrieve();
    QList<Group> groups;
    for (long row = 1; row <= ds.rowCount(); ++row)
        groups << Group{ds.getItemString(row, m_spec.groupCode), ds.getItemString(row, m_spec.groupName)};
    return groups;
}

QList<Group> GroupTreeBuilder::keepGroups(const Box &empty)
{
    m_kept = readGroups();
    if (m_kept->isEmpty())
        showBox(empty);
    return *m_kept;
}

long GroupTreeBuilder::root() const
{
    return m_tree->findItem(TreeNavigation::Root);
}

QList<Group> GroupTreeBuilder::build(const Box &empty)
{
    const bool told = m_kept.has_value();
    const QList<Group> groups = told ? *std::exchange(m_kept, std::nullopt) : readGroups();

    m_tree->setRedraw(false);
    TreeItem root;
    root.label = m_spec.rootLabel;
    root.data = QStringLiteral("%");
    root.pictureIndex = RootPicture;
    root.selectedPictureIndex = RootPicture;
    root.children = m_spec.rootHasChildren;
    const long rootHandle = m_tree->insertItemLast(0, root);

    QList<TreeItem> items;
    for (const Group &g : groups) {
        TreeItem item;
        item.label = g.name;
        item.data = g.code;
        item.pictureIndex = m_spec.deletedGroupPicture && g.code.toLower() == QStringLiteral("z") ? DeletedGroupPicture
                                                                                                : GroupPicture;
        item.selectedPictureIndex = item.pictureIndex;
        item.children = true;
        items << item;
    }
    if (!items.isEmpty()) {
        m_tree->insertItemsLast(rootHandle, items);
        m_tree->expandItem(rootHandle);
    }
    m_tree->setRedraw(true);
    if (groups.isEmpty() && !told)
        showBox(empty);
    return groups;
}

void GroupTreeBuilder::clear()
{
    m_tree->deleteItem(root());
}

bool GroupTreeBuilder::fillGroup(long handle, const QString &code)
{
    views::DataStore ds;
    ds.setDataObject(m_spec.memberView);
    ds.setConnection(m_db);
    ds.setShowsErrorBox(true);
    ds.retrieve({code});
    return insertMembers(handle, ds);
}

bool GroupTreeBuilder::insertMembers(long handle, const views::DataStore &ds)
{
    const long rows = ds.rowCount();
    if (rows < 1)
        return false;
    // A member known by its label (the address book's names) reads the value once for both.
    const bool dataIsLabel = !m_spec.memberDataIsNumber
                             && m_spec.memberData.compare(m_spec.memberLabel, Qt::CaseInsensitive) == 0;
    const QStringList labels = ds.columnTexts(m_spec.memberLabel);
    QList<TreeItem> members;
    members.reserve(rows);
    for (long row = 1; row <= rows; ++row) {
        TreeItem &m = members.emplace_back();
        m.label = labels.at(row - 1);
        if (dataIsLabel)
            m.data = m.label;
        else
            m.data = m_spec.memberDataIsNumber ? QVariant(qlonglong(ds.getItemNumber(row, m_spec.memberData)))
                                               : QVariant(ds.getItemString(row, m_spec.memberData));
        m.pictureIndex = MemberPicture;
        m.selectedPictureIndex = MemberPicture;
    }
    m_tree->insertItemsLast(handle, members);
    return true;
}

template<typename Fill>
void GroupTreeBuilder::populateWith(long handle, Fill fill)
{
    m_tree->setRedraw(false);
    TreeItem item;
    if (m_tree->getItem(handle, item) && item.level == GroupLevel) {
        if (!fill(item)) {
            item.children = false;
            m_tree->setItem(handle, item);
        }
        m_tree->selectItem(handle);
    }
    m_tree->setRedraw(true);
}

void GroupTreeBuilder::populate(long handle)
{
    populateWith(handle, [&](const TreeItem &group) { return fillGroup(handle, group.data.toString()); });
}

void GroupTreeBuilder::populate(long handle, const views::DataStore &members)
{
    populateWith(handle, [&](const TreeItem &) { return insertMembers(handle, members); });
}

bool GroupTreeBuilder::locate(const QString &code, const QString &label)
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

bool GroupTreeBuilder::locateMember(const QString &code, const QString &data)
{
    const long group = m_tree->findChildByData(root(), code);
    if (group == 0)
        return false;
    m_tree->expandItem(group);
    const long member = m_tree->findChildByData(group, data);
    return member != 0 && m_tree->selectItem(member);
}

} // namespace pagekit
