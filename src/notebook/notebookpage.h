#pragma once
// The notebook page: notes in groups. The tree on the left lists the groups and, once a group is
// expanded, the titles of its notes; choosing a note opens it in the editor on the first tab. The
// page's buttons add, save and delete notes; after every save and delete the tree is built afresh
// and the note (or its group) found again. The zoom toggle widens the tree over the whole page and
// back. The second tab searches the notes; the third cuts a text too long for one note into pieces.

#include "notebook/indexbuilder.h"
#include "pagekit/buttonrow.h"
#include "pagekit/grouptreebuilder.h"
#include "pagekit/page.h"
#include "pagekit/tabpages.h"

class NoteEditor;
class NoteFind;
class NoteSplitter;
class QPushButton;

namespace widgets {
class HandleTree;
}

class NotebookPage : public pagekit::Page
{
    Q_OBJECT
public:
    explicit NotebookPage(Connection &db, QWidget *parent = nullptr);
    ~NotebookPage() override;

    // The controls: null until the page is filled.
    widgets::HandleTree *groupTree = nullptr;
    pagekit::TabPages *tabs = nullptr;
    NoteEditor *editor = nullptr;
    NoteFind *findTab = nullptr;
    NoteSplitter *splitter = nullptr;
    QPushButton *addButton = nullptr;
    QPushButton *saveButton = nullptr;
    QPushButton *deleteButton = nullptr;
    QPushButton *closeButton = nullptr;
    QPushButton *zoomToggle = nullptr;  // ">>" while the tree has its width, "<<" while it covers the page

    // The note in the editor: its id, or 0 for a new note not saved yet.
    long noteId = 0;

    // Builds the notes' search index in the background when the database lacks it (once the first
    // frame is out); the find tab shows how far it is.
    void startIndexBuild();
    notesearch::IndexBuilder indexBuilder;

    // Builds the tree and fills both group lists (the page's creation; again after save and delete).
    void buildTreeAndLists();
    // Removes the tree and the groups of both lists, then builds them again.
    void rebuild();
    // Expands the group `code` (reading its notes if needed) and, given a title, opens its first
    // note of that title; the tree takes the focus. False when no group has that code.
    bool locate(const QString &code, const QString &title = QString());
    // A hit of the find tab: the content tab comes forward, and the note opens where its group is
    // still in the tree.
    void openHit(const QString &code, const QString &title);

    void fillExpandedGroup(long handle);
    // A note chosen in the tree opens in the editor; a group or the root changes nothing.
    void openSelectedNote(long oldHandle, long newHandle);
    void treeDoubleClicked(long handle);
    void toggleZoom();
    // The editor takes a new note, in the group of what the tree has selected.
    void newNote();
    void save();
    void deleteNote();
    void closePage();

    // The groups as the tree and the lists show them.
    const QList<pagekit::Group> &groups() const { return m_groups; }

protected:
    void prepareLight() override;
    void buildControls() override;
    void placeControls(int w, int h) override;
    void lockOwnWindows(bool locked) override;

private:
    // The entry of the editor's group list (and the find tab's) that stands for the group item
    // `groupHandle`: 1 for the first group.
    int groupEntry(long groupHandle) const;
    // The code of the group at entry `entry` of the editor's group list, or empty for "[请选择]".
    QString groupCodeAt(int entry) const;
    bool isWidened() const;

    pagekit::GroupTreeBuilder m_treeBuilder;
    pagekit::ButtonRow m_buttons;
    QList<pagekit::Group> m_groups;
};
