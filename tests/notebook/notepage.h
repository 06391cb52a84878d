#pragma once
// The notebook page on a fresh database, shown and active, every seam faked, with the pictures the
// build drew; and the moves a user makes on it.

#include "notebook/noteeditor.h"
#include "notebook/notesplitter.h"
#include "notebook/u_notepro.h"
#include "pagedriver.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <optional>

struct Note
{
    QString gid;
    QString title;
    QString content;
};

using Groups = QList<QPair<QString, QString>>;   // code, name

class NotePage : public PageOnDisk<u_notepro>
{
public:
    // The notes, and the groups in place of the delivered ones where given, are in the database
    // before the page is made.
    explicit NotePage(const QList<Note> &notes = {}, const std::optional<Groups> &groups = std::nullopt);

    NoteEditor *editor() const { return page->tp_1; }
    NoteSplitter *splitter() const { return page->tp_3; }

    long root() const { return drive::root(page->tv_1); }
    long group(const QString &code) const { return drive::group(page->tv_1, code); }
    long note(const QString &code, const QString &title) { return drive::member(page->tv_1, code, title); }
    QStringList children(long handle) const { return drive::children(page->tv_1, handle); }
    long current() const { return drive::current(page->tv_1); }
    void select(long handle) { drive::select(page->tv_1, handle); }
    void open(const QString &code, const QString &title) { select(note(code, title)); }
    void click(QWidget *widget) { drive::click(widget); }

    // Typed into the title, replacing what it held.
    void typeTitle(const QString &text);
    // Typed into the text field after a click into it (which takes the placeholder away).
    void typeText(const QString &text);
    // Pasted into the text field, replacing everything in it.
    void pasteText(const QString &text);
    // Chooses entry `entry` of the group list (0 is "[请选择]") with the keyboard.
    void chooseEntry(int entry);

    const platform::MessageBoxRequest &lastBox() const { return fakes.boxes->shown.last(); }
    int noteCount(const QString &where = QStringLiteral("1=1")) const;
    // The stored note of that group and title (the first where several).
    qlonglong idOf(const QString &gid, const QString &title) const;
    QVariant stored(qlonglong id, const QString &column) const;
    QStringList comboEntries(const QComboBox *combo) const;
};

// The text of a text field as it holds it.
QString textOf(const QPlainTextEdit *field);
