#pragma once
// The note editor, the notebook's first tab: the note's group, its title and its text, with small
// tools for the text (font size, word wrap, copy all) and the enlarged reader. An empty editor shows
// a placeholder that says how much a note may hold; it goes away when the text field takes the focus.

#include <QPointer>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class NoteReader;

class NoteEditor : public QWidget
{
    Q_OBJECT
public:
    explicit NoteEditor(QWidget *parent = nullptr);

    // The placeholder of an empty editor.
    static const QString placeholder;

    QLabel *groupLabel;
    QComboBox *groupList;  // "[请选择]", then the groups in the tree's order
    QLabel *titleLabel;
    QLineEdit *titleEdit;
    QPlainTextEdit *textEdit;
    QToolButton *smallerFontButton;
    QToolButton *largerFontButton;
    QToolButton *wrapButton;       // word wrap on and off
    QToolButton *readerButton;     // the enlarged reader
    QToolButton *copyAllButton;    // select all and copy

    // The text as the field holds it.
    QString text() const;
    void setText(const QString &text);
    int fontSize() const;

    void smallerFont();
    void largerFont();
    void toggleWrap();
    void openReader();
    void copyAll();

    // The reader while it is open.
    NoteReader *reader() const;
    // While the program is locked no note may be seen or reached: the reader hides, disabled, and
    // comes back afterwards.
    void setLocked(bool locked);

    // Places the controls for a tab control `tabWidth` × `tabHeight` units large.
    void placeControls(int tabWidth, int tabHeight);
    // The text field's width in units: the other tabs' fields take it too.
    int textWidth() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setFontSize(int points);

    QPointer<NoteReader> m_reader;
    bool m_readerHiddenByLock = false;
};
