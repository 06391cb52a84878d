#pragma once
// The enlarged reader: the editor's text shown large, exactly over the main window, in the editor's
// font size. It holds a copy: what is typed in it is never carried back. Escape closes it.

#include <QWidget>

class QPlainTextEdit;

class NoteReader : public QWidget
{
    Q_OBJECT
public:
    // A window of its own; `owner` (the main window) keeps it.
    explicit NoteReader(QWidget *owner = nullptr);

    QPlainTextEdit *textEdit;

    // The editor's font size and text, then the main window's size and place.
    void open(const QString &text, int fontSize, const QWidget *mainWindow);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
