#pragma once
// The splitting tool, the notebook's third tab: a text too long for one note is pasted into a work
// area, a leading piece that fits a note is marked and cut off into a second field, copied, and
// pasted into a new note; then the same with the rest. Lengths are GBK bytes. Nothing here touches
// the database.

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class NoteSplitter : public QWidget
{
    Q_OBJECT
public:
    explicit NoteSplitter(QWidget *parent = nullptr);

    QPlainTextEdit *mle_2;   // the work area: what is left of the long text
    QLabel *st_01;           // its length in GBK bytes
    QPushButton *cb_11;      // 从剪贴板粘贴&P
    QPushButton *cb_6;       // 定位&L
    QPushButton *cb_10;      // 截取&I
    QPlainTextEdit *mle_01;  // the piece cut off
    QPushButton *cb_9;       // 复制截取&O

    void cb_11_clicked();
    void mle_2_modified();
    void mle_2_getfocus();
    void cb_6_clicked();
    void cb_10_clicked();
    void cb_9_clicked();

    // Places the controls: the fields as wide as the editor's text, the work area as tall as the
    // tab page allows.
    void of_layout(int fieldWidth, int pageHeight);

signals:
    // The piece is on the clipboard: the page turns to the editor, where it can be pasted.
    void pieceCopied();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showLength();
    void select(int from, int to);

    bool m_markAfterClick = false;
};
