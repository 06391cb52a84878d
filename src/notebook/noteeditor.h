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
    static const QString is_max;

    QLabel *st_1;          // 组
    QComboBox *ddlb_1;     // "[请选择]", then the groups in the tree's order
    QLabel *st_2;          // 标题
    QLineEdit *sle_1;
    QPlainTextEdit *mle_1;
    QToolButton *cb_8;     // smaller font
    QToolButton *cb_7;     // larger font
    QToolButton *pb_2;     // word wrap on and off
    QToolButton *pb_1;     // the enlarged reader
    QToolButton *pb_3;     // select all and copy

    // The text as the field holds it.
    QString text() const;
    void setText(const QString &text);
    int fontSize() const;

    void cb_8_clicked();
    void cb_7_clicked();
    void pb_2_clicked();
    void pb_1_clicked();
    void pb_3_clicked();

    // The reader while it is open.
    NoteReader *reader() const;
    // While the program is locked no note may be seen or reached: the reader hides, disabled, and
    // comes back afterwards.
    void of_lock(bool locked);

    // Places the controls for a tab control `tabWidth` × `tabHeight` units large.
    void of_layout(int tabWidth, int tabHeight);
    int mleWidth() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setFontSize(int points);

    QPointer<NoteReader> m_reader;
    bool m_readerHiddenByLock = false;
};
