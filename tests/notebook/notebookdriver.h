#pragma once
// The notebook page on a fresh database, shown and active, every seam faked, with the pictures the
// build drew; and the moves a user makes on it.

#include "notebook/noteeditor.h"
#include "notebook/notefind.h"
#include "notebook/notesplitter.h"
#include "notebook/notebookpage.h"
#include "pagedriver.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <optional>

struct Note
{
    QString gid;
    QString title;
    QString content;
};

using Groups = QList<QPair<QString, QString>>;   // code, name

class NotebookDriver : public PageDriver<NotebookPage>
{
public:
    // The notes, and the groups in place of the delivered ones where given, are stored before the
    // page is made.
    explicit NotebookDriver(const QList<Note> &notes = {}, const std::optional<Groups> &groups = std::nullopt);

    NoteEditor *editor() const { return page->editor; }
    NoteSplitter *splitter() const { return page->splitter; }
    widgets::HandleTree *tree() const { return page->groupTree; }

    long group(const QString &code) const { return drive::group(tree(), code); }
    long note(const QString &code, const QString &title) { return drive::member(tree(), code, title); }
    QStringList children(long handle) const { return drive::children(tree(), handle); }
    void select(long handle) { drive::select(tree(), handle); }
    void open(const QString &code, const QString &title) { select(note(code, title)); }
    void click(QWidget *widget) { drive::click(widget); }

    // Typed into the title, replacing what it held.
    void typeTitle(const QString &text);
    // Typed, or pasted, into the text field after a click into it, replacing what it held.
    void typeText(const QString &text);
    void pasteText(const QString &text);
    // Chooses entry `entry` of the group list (0 is "[请选择]") with the keyboard.
    void chooseEntry(int entry);

    QString text() const { return editor()->text(); }
    int noteCount(const QString &where = QStringLiteral("1=1")) const;
    // The stored note of that group and title (the first where several), or 0.
    qlonglong idOf(const QString &gid, const QString &title) const;
    QString content(qlonglong id) const;
};

QStringList entries(const QComboBox *combo);
