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

    QPlainTextEdit *workArea;        // what is left of the long text
    QLabel *lengthLabel;             // its length in GBK bytes
    QPushButton *pasteButton;
    QPushButton *markButton;
    QPushButton *cutButton;
    QPlainTextEdit *pieceEdit;       // the piece cut off
    QPushButton *copyPieceButton;

    // The clipboard's text replaces the work area's.
    void paste();
    // The part before the caret is marked (the work area took the focus).
    void markUpToCaret();
    // The longest leading piece a note can hold is marked.
    void markFittingPiece();
    // The marked piece moves from the work area into the piece field.
    void cutMarkedPiece();
    // The piece goes to the clipboard (pieceCopied).
    void copyPiece();

    // Places the controls: the fields as wide as the editor's text, the work area as tall as the
    // tab page allows.
    void placeControls(int fieldWidth, int pageHeight);

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
