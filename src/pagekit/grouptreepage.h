#pragma once
// A page of records in groups, described by data: the group tree on the left; `recordView` on the
// right showing the list of the root's or a group's records, or the card of one record; Add, Delete,
// Save and Close. The address book and the personal assets are such pages; each gives its data and
// overrides the few hooks where it differs.

#include "pagekit/buttonrow.h"
#include "pagekit/grouptreebuilder.h"
#include "pagekit/helpers.h"
#include "pagekit/page.h"
#include "pagekit/sheetexport.h"

#include "app/connection.h"

class QPushButton;

namespace views {
class DataView;
struct ViewObject;
}
namespace widgets {
class HandleTree;
}
namespace finder {
struct RecordSource;
}

namespace pagekit {

struct GroupTreePageSpec
{
    GroupTreeSpec tree;
    QString pageName;        // accessible names: the page, its tree and its view
    QString treeName;
    QString viewName;
    QString listView;        // shown for the root and the groups, retrieved with a group pattern
    QString cardView;        // shown for a member, retrieved with the member's data
    QString groupColumn;     // the group code in the list and the card ("zuhao0", "gid")
    QString nameColumn;      // the member's label in the list and the card ("xingm0", "name")
    // A group's list holds exactly the group's members, in the tree's order, with the tree's member
    // label and data among its columns: a first expansion then fills the tree from the list it
    // shows anyway, one read for both.
    bool listFillsTree = false;
    // The boxes are numbered the same on every such page: "T00" … "T11", "C00" … "C11".
    QString boxPrefix;       // "T", "C"
    QString missingName;     // the text of box 09: "姓名不能为空!"
    // After a failed delete: show the record as stored again, or leave it removed from the card.
    bool rebuildAfterFailedDelete = false;
    // The records Ctrl+F finds (the same table the tree lists); none, no find box. A hit is opened
    // by the tree's member data (tree.memberData), which the box reads by the record's id.
    const finder::RecordSource *findSource = nullptr;
    // The tree menu's "导出…", where the page has one (its definition names it).
    GroupExport groupExport;
};

class ContextMenu;
class FindBox;
struct FoundRecord;

class GroupTreePage : public Page
{
    Q_OBJECT
public:
    // The page's own class builds the controls and the tree (buildControls) when its constructor ends
    // (created()), or, created light, when first shown.
    GroupTreePage(Connection &db, const GroupTreePageSpec &desc, QWidget *parent = nullptr);

    // Null until the page is filled.
    widgets::HandleTree *groupTree = nullptr;
    views::DataView *recordView = nullptr;
    QPushButton *addButton = nullptr;    // 添加(&A)
    QPushButton *deleteButton = nullptr; // 删除(&D)
    QPushButton *saveButton = nullptr;   // 保存(&S)
    QPushButton *closeButton = nullptr;  // 关闭(&C)
    ContextMenu *treeMenu = nullptr;     // the tree's right-click menu

    const GroupTreePageSpec &desc() const { return m_spec; }
    // Made at its first use (Ctrl+F): the first frame does not show it. Null until the page is
    // filled, or on a page without a find source. showAdded() reloads it.
    FindBox *findBox();
    GroupTreeBuilder &treeBuilder() { return m_treeBuilder; }

    // Builds the tree afresh below a new root (also run again after every save and delete).
    void buildTree();
    QString sortSuffix() const { return m_sort.suffix(); }

    // The tree's and the view's events.
    void fillExpandedGroup(long handle);
    // The list for the root or a group, the card for a member.
    void showSelection(long oldHandle, long newHandle);
    void sortByHeader(int x, int y, long row, const views::ViewObject &object);
    // A row of the list opens its record as a member of the tree.
    void openRowInTree(int x, int y, long row, const views::ViewObject &object);
    void highlightRow(long currentRow, long newRow);
    void acceptTyping();
    // The buttons.
    void add();
    void deleteRecord();
    void save();
    void closePage();

    // Rebuilds the tree and finds group `code` again (expanded), and its member `name` if given.
    void rebuildAndLocate(const QString &code, const QString &name = {});
    // Expands the group of `code` and selects its first member labelled `name`.
    bool locate(const QString &code, const QString &name);
    // Opens a record the find box chose as a click on it in the tree does.
    void openFound(const FoundRecord &found);
    // Records were added from outside the card (an import): the tree is built again and shows group
    // `code` expanded, unless the card holds unsaved edits, which a rebuild would drop; then the
    // tree stays as it is until the next save.
    void showAdded(const QString &code);

protected:
    void prepareLight() override;
    void buildControls() override;
    void placeControls(int w, int h) override;

    // Hooks where pages differ.
    // A new card's row, after its group was set: values of the page's own (a date, a count).
    virtual void initNewRow(long row);
    // The stored record a delete acts on (group code, name); blanks mean the card holds nothing
    // stored, and the row is only taken off the card. By default the card's current values.
    virtual Group deleteTarget(long row);
    // Removes the stored record after the row left the card; what the write came to (not committed).
    // By default the card's delete is written through the view.
    virtual DbResult deleteStored(const Group &target);
    // A value being typed into the card.
    virtual void cardEdited(long row, const QString &column, const QString &text);
    // The items of the tree's menu; by default the one "导出…" its description names.
    virtual void addTreeMenuItems(ContextMenu *menu);

    bool showsCard() const;
    Box box(int number, platform::Icon icon = platform::Icon::Exclamation) const;

private:
    QString boxText(int number) const;
    // Shows the list of the records `pattern` matches; the rows read, or -1.
    long showList(const QString &pattern);
    // The stored records the card's row stands for, by its key as read or as it is now: what a
    // write touches, for the find box to read again afterwards. Empty while the box is not built.
    QList<qint64> storedIds(long row, bool asRead) const;

    GroupTreePageSpec m_spec;
    GroupTreeBuilder m_treeBuilder;
    ButtonRow m_buttons;
    SortToggle m_sort;
    FindBox *m_findBox = nullptr;
    long m_listedGroup = 0;   // a group whose expansion has just listed it: its selection reads nothing
};

} // namespace pagekit
