#pragma once
// The tree half of a group page: a root, one item per group read from the group view, and below a
// group its members, read the first time the group is expanded. Used by the group-tree pages and,
// on its own, by the notebook.

#include <QList>
#include <QString>
#include <QStringList>

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

class GroupTree
{
public:
    enum Level { RootLevel = 1, GroupLevel = 2, MemberLevel = 3 };
    enum Picture { RootPicture = 1, GroupPicture = 2, MemberPicture = 3, DeletedGroupPicture = 4 };

    GroupTree(widgets::HandleTree *tree, const GroupTreeSpec &spec);

    const GroupTreeSpec &spec() const { return m_spec; }
    widgets::HandleTree *tree() const { return m_tree; }

    // Inserts the root and, below it, the groups in the group view's order, and expands the root
    // when there are any. Returns the groups; none means the group table is empty (the page says so).
    QList<Group> build();
    // Removes the root with everything beneath it.
    void clear();
    // Reads the members of the group item `handle` below it; false, and the group no longer offers
    // to expand, when it has none.
    bool of_fillgroup(long handle, const QString &code);
    // What a first expansion does: a group is filled and selected; other items change nothing.
    void itempopulate(long handle);
    // Expands the group of `code` (filling it if needed, which selects it) and, given a label,
    // selects its first member of that label. False when no group has that code.
    bool of_locate(const QString &code, const QString &label = QString());

    long root() const;

private:
    widgets::HandleTree *m_tree;
    GroupTreeSpec m_spec;
};

} // namespace pagekit
