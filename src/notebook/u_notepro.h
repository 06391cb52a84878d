#pragma once
// The notebook page: notes in groups. The tree on the left lists the groups and, once a group is
// expanded, the titles of its notes; choosing a note opens it in the editor on the first tab. The
// page's buttons add, save and delete notes; after every save and delete the tree is built afresh
// and the note (or its group) found again. The zoom toggle widens the tree over the whole page and
// back. The second tab searches the notes; the third cuts a text too long for one note into pieces.

#include "pagekit/grouptree.h"
#include "pagekit/page.h"

#include <QTabWidget>

class NoteEditor;
class NoteFind;
class NoteSplitter;
class QPushButton;

namespace widgets {
class HandleTree;
}

// The tab control, which tells how tall its pages are for a size before it has laid them out (the
// main window lays out hidden pages too).
class NoteTabs : public QTabWidget
{
public:
    using QTabWidget::QTabWidget;
    int pageHeight(const QSize &pixels) const;
};

class u_notepro : public pagekit::Page
{
    Q_OBJECT
public:
    explicit u_notepro(Connection &db, QWidget *parent = nullptr);
    ~u_notepro() override;

    // The controls: null until the page is filled.
    widgets::HandleTree *tv_1 = nullptr;
    NoteTabs *tab_1 = nullptr;
    NoteEditor *tp_1 = nullptr;      // " 内容 "
    NoteFind *tp_2 = nullptr;        // " 查找 "
    NoteSplitter *tp_3 = nullptr;    // " 编辑"
    QPushButton *cb_1 = nullptr;     // 添加(&A)
    QPushButton *cb_3 = nullptr;     // 保存(&S)
    QPushButton *cb_2 = nullptr;     // 删除(&D)
    QPushButton *cb_5 = nullptr;     // 关闭(&C)
    QPushButton *st_zoom = nullptr;  // ">>" while the tree has its width, "<<" while it covers the page

    // The note in the editor: its id, or 0 for a new note not saved yet.
    long il_id = 0;

    // Builds the tree and fills both group lists (the page's creation; again after save and delete).
    void constructor();
    // Removes the tree and the groups of both lists, then builds them again.
    void of_rebuild();
    // Expands the group of `gid` (reading its notes if needed) and, given a title, opens its first
    // note of that title; the tree takes the focus. False when no group has that code.
    bool of_locate(const QString &gid, const QString &title = QString());
    // A hit of the find tab: the content tab comes forward, and the note opens where its group is
    // still in the tree.
    void of_openhit(const QString &gid, const QString &title);


    void tv_1_itempopulate(long handle);
    void tv_1_selectionchanged(long oldhandle, long newhandle);
    void tv_1_doubleclicked(long handle);
    void st_zoom_clicked();
    void cb_1_clicked();
    void cb_3_clicked();
    void cb_2_clicked();
    void cb_5_clicked();

    // The groups as the tree and the lists show them.
    const QList<pagekit::Group> &groups() const { return m_groups; }

protected:
    void of_prepare() override;
    void of_build() override;
    void of_arrange(int w, int h) override;
    void of_lockcontrols(bool locked) override;

private:
    // The entry of ddlb_1 (and ddlb_2) that stands for the group item `handle`: 1 for the first group.
    int groupEntry(long groupHandle) const;
    // The code of the group at entry `entry` of ddlb_1, or empty for "[请选择]".
    QString groupCode(int entry) const;
    bool isWidened() const;

    pagekit::GroupTree m_tree;
    QList<pagekit::Group> m_groups;
};
