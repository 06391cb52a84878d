#pragma once
// The notebook's find tab: a piece of text looked for in the titles, the texts or both, within one
// group or all of them, and the hits listed. A double click on a hit asks the page to open that note
// through its tree. The list stays as it is until the next search, whatever the editor does.

#include "pagekit/grouptreebuilder.h"
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

namespace notesearch {
class IndexBuilder;
}

namespace views {
class DataView;
struct ViewObject;
}

class NoteFind : public QWidget
{
    Q_OBJECT
public:
    explicit NoteFind(Connection &db, QWidget *parent = nullptr);

    QGroupBox *frame;         // around the search fields
    QLabel *groupLabel;
    QComboBox *groupList;     // "全部", then the groups in the tree's order
    QLabel *textLabel;
    QLineEdit *textEdit;      // what is looked for
    QCheckBox *inTitles;
    QCheckBox *inContents;
    QPushButton *findButton;
    views::DataView *hits;    // on dw_find
    // While the search index is being built: one line saying how far, and a button that stops it.
    QLabel *indexLine;
    QPushButton *indexCancel;

    // Shows the build of `builder` in the index line while it runs (searches meanwhile read every note).
    void followIndexBuild(notesearch::IndexBuilder *builder);

    // The scope list afresh: "全部", then `groups` in their order, with "全部" chosen.
    void setGroups(const QList<pagekit::Group> &groups);

    // Searches as the fields say and lists the hits; none found (or the search failed) says N08.
    void find();
    // At least one of the two boxes stays ticked: clearing the last one ticks the other.
    void keepOneTicked(QCheckBox *clicked);
    void sortByHeader(int x, int y, long row, const views::ViewObject &object);
    // A double click on a hit's cell asks the page to open that note (hitOpened).
    void openHit(int x, int y, long row, const views::ViewObject &object);
    void highlightFirstHit(long rows);
    void highlightRow(long currentRow);

    // Places the controls: the hit list takes `listWidth` units and the height of a tab page
    // `pageHeight` units tall, less the search fields above it.
    void placeControls(int listWidth, int pageHeight);

signals:
    // A hit was double-clicked: the page opens the note of that group and title.
    void hitOpened(const QString &groupCode, const QString &title);

private:
    void showIndexLine(bool shown);
    // The scope chosen: the group's code by its place in the list (names may repeat). False when
    // that group is no longer in the group table.
    bool scope(std::optional<QString> *code) const;

    Connection &m_db;
    QList<pagekit::Group> m_groups;
    pagekit::SortToggle m_sort;
    int m_listWidth = 0, m_pageHeight = 0;
};
