#pragma once
// The notebook's find tab: a piece of text looked for in the titles, the texts or both, within one
// group or all of them, and the hits listed. A double click on a hit asks the page to open that note
// through its tree. The list stays as it is until the next search, whatever the editor does.

#include "pagekit/grouptree.h"
#include "pagekit/helpers.h"

#include <QList>
#include <QWidget>

class Connection;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace views {
class DataView;
struct ViewObject;
}

class NoteFind : public QWidget
{
    Q_OBJECT
public:
    explicit NoteFind(Connection &db, QWidget *parent = nullptr);

    QGroupBox *gb_1;       // the frame around the search fields
    QLabel *st_3;          // 组
    QComboBox *ddlb_2;     // "全部", then the groups in the tree's order
    QLabel *st_4;          // 查找内容
    QLineEdit *sle_2;
    QCheckBox *cbx_1;      // 标题
    QCheckBox *cbx_2;      // 内容
    QPushButton *cb_find;  // 查找(&F)
    views::DataView *dw_1; // the hits, on dw_find

    // How long building the search index runs before its progress dialog shows (tests shorten it).
    int indexDialogDelayMs = 400;

    // The scope list afresh: "全部", then `groups` in their order, with "全部" chosen.
    void setGroups(const QList<pagekit::Group> &groups);

    void cb_find_clicked();
    void cbx_1_clicked();
    void cbx_2_clicked();
    void dw_1_clicked(int x, int y, long row, const views::ViewObject &object);
    void dw_1_doubleclicked(int x, int y, long row, const views::ViewObject &object);
    void dw_1_retrieveend(long rows);
    void dw_1_rowfocuschanged(long currentRow);

    // Places the controls: the hit list takes `listWidth` units and the height of a tab page
    // `pageHeight` units tall, less the search fields above it.
    void of_layout(int listWidth, int pageHeight);

signals:
    // A hit was double-clicked: the page opens the note of that group and title.
    void hitOpened(const QString &gid, const QString &title);

private:
    // Before the first search on a database without the search index, it is built behind a
    // progress dialog. A cancel is the user's answer for this run: later searches do not ask again.
    void ensureIndex();
    // The scope chosen: the group's code by its place in the list (names may repeat). False when
    // that group is no longer in the group table.
    bool scope(std::optional<QString> *code) const;

    Connection &m_db;
    QList<pagekit::Group> m_groups;
    pagekit::SortToggle m_sort;
    bool m_indexDeclined = false;
};
