#pragma once
// The tree half of a group page: a root, one item per group read from the group view, and below a
// group its members, read the first time the group is expanded. Used by the group-tree pages and,
// on its own, by the notebook.

#include "pagekit/helpers.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Connection;

namespace views {
class DataStore;
}
namespace widgets {
class HandleTree;
}

namespace pagekit {

struct GroupTreeSpec
{
    QString rootLabel;             // "通讯录"
    bool rootHasChildren = true;   // the notebook's root keeps the tree's default
    QStringList pictures;          // files of root, group, member and, optional, the "z" group
    QString groupView;             // "ds_group"
    QString groupCode;             // "zuhao0"
    QString groupName;             // "zuming"
    QString memberView;            // "ds_xingm0", retrieved with the group's code
    QString memberLabel;           // the member's label column ("xingm0", "name", "title")
    QString memberData;            // the member's data column: the name, or the id as a number
    bool memberDataIsNumber = false;
    // The group whose code is "z" in any case gets the fourth picture.
    bool deletedGroupPicture = false;
};

struct Group
{
    QString code;
    QString name;
};

class GroupTreeBuilder
{
public:
    enum Level { RootLevel = 1, GroupLevel = 2, MemberLevel = 3 };
    enum Picture { RootPicture = 1, GroupPicture = 2, MemberPicture = 3, DeletedGroupPicture = 4 };

    // Reads through `db`. Without a tree widget yet (a page created light): setTree before the first build.
    GroupTreeBuilder(Connection &db, const GroupTreeSpec &desc);
    GroupTreeBuilder(Connection &db, widgets::HandleTree *tree, const GroupTreeSpec &desc);

    const GroupTreeSpec &desc() const { return m_spec; }
    widgets::HandleTree *tree() const { return m_tree; }
    void setTree(widgets::HandleTree *tree);

    // Reads the groups now, for a page created light, and shows `empty` when there are none: the
    // page's first build shows these groups, as they were at start, whatever changed meanwhile.
    QList<Group> keepGroups(const Box &empty);
    // Inserts the root and, below it, the groups in the group view's order (those kept, the first
    // time, else read now), and expands the root when there are any. Returns the groups; with none
    // it shows `empty`, unless keepGroups already did for the same groups.
    QList<Group> build(const Box &empty);
    // Removes the root with everything beneath it.
    void clear();
    // Reads the members of the group item `handle` below it; false, and the group no longer offers
    // to expand, when it has none.
    bool fillGroup(long handle, const QString &code);
    // What a first expansion does: a group is filled and selected; other items change nothing.
    void populate(long handle);
    // The same with the members taken from `members` (rows of any view with the member's label and
    // data columns, in the tree's order) instead of read from the member view.
    void populate(long handle, const views::DataStore &members);
    // Expands the group of `code` (filling it if needed, which selects it) and, given a label,
    // selects its first member of that label. False when no group has that code.
    bool locate(const QString &code, const QString &label = QString());
    // The same for the member whose data (as text) is `data`, where labels may repeat; false when
    // the group or the member is not in the tree.
    bool locateMember(const QString &code, const QString &data);

    long root() const;

private:
    QList<Group> readGroups() const;
    bool insertMembers(long handle, const views::DataStore &members);
    template<typename Fill> void populateWith(long handle, Fill fill);

    Connection &m_db;
    widgets::HandleTree *m_tree = nullptr;
    GroupTreeSpec m_spec;
    std::optional<QList<Group>> m_kept;
};

} // namespace pagekit
