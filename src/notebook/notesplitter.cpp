#include "notebook/notesplitter.h"

#include "app/textcodec.h"
#include "notebook/notetext.h"
#include "platform/services.h"
#include "pagekit/helpers.h"
#include "views/font.h"
#include "widgets/unitgeometry.h"

#include <QFocusEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>

namespace {

QPlainTextEdit *textField(const QString &objectName, const QString &name, QWidget *parent)
{
    auto *f = new QPlainTextEdit(parent);
    f->setObjectName(objectName);
    f->setAccessibleName(name);
    f->setFont(views::songtiFont(9));
    f->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return f;
}

} // namespace

NoteSplitter::NoteSplitter(QWidget *parent)
    : QWidget(parent)
{
    workArea = textField(QStringLiteral("mle_2"), QStringLiteral("待分拆的文本"), this);
    // The piece marked stays visible while a button has the focus.
    QPalette p = workArea->palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    workArea->setPalette(p);
    workArea->installEventFilter(this);
    workArea->viewport()->installEventFilter(this);

    lengthLabel = new QLabel(this);
    lengthLabel->setObjectName(QStringLiteral("st_01"));
    lengthLabel->setFont(notetext::verdana());
    QPalette blue = lengthLabel->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    lengthLabel->setPalette(blue);

    pasteButton = pagekit::makeButton(QStringLiteral("从剪贴板粘贴&P"), QStringLiteral("cb_11"), this);
    markButton = pagekit::makeButton(QStringLiteral("定位&L"), QStringLiteral("cb_6"), this);
    cutButton = pagekit::makeButton(QStringLiteral("截取&I"), QStringLiteral("cb_10"), this);
    copyPieceButton = pagekit::makeButton(QStringLiteral("复制截取&O"), QStringLiteral("cb_9"), this);
    for (QPushButton *b : {pasteButton, markButton, cutButton, copyPieceButton})
        b->setFont(notetext::verdana());

    pieceEdit = textField(QStringLiteral("mle_01"), QStringLiteral("截取的文本"), this);

    connect(pasteButton, &QPushButton::clicked, this, &NoteSplitter::paste);
    connect(markButton, &QPushButton::clicked, this, &NoteSplitter::markFittingPiece);
    connect(cutButton, &QPushButton::clicked, this, &NoteSplitter::cutMarkedPiece);
    connect(copyPieceButton, &QPushButton::clicked, this, &NoteSplitter::copyPiece);
    showLength();
}

void NoteSplitter::showLength()
{
    const QString bytes = QString::number(gbkLength(notetext::text(workArea)));
    lengthLabel->setText(bytes);
    // A screen reader reads the count with what it counts, as the eye sees it.
    lengthLabel->setAccessibleName(QStringLiteral("字节数: ") + bytes);
}

void NoteSplitter::select(int from, int to)
{
    QTextCursor c(workArea->document());
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    workArea->setTextCursor(c);
}

void NoteSplitter::paste()
{
    notetext::setText(workArea, platform::services().clipboard->text());
    showLength();
}

void NoteSplitter::markUpToCaret()
{
    // The part before the caret is the candidate piece.
    select(0, workArea->textCursor().position());
}

void NoteSplitter::markFittingPiece()
{
    // The longest leading piece a note can hold; it stops before a character that would cross the
    // limit. Positions in the field count the text's UTF-16 units, a line break as one.
    select(0, int(notetext::fittingPrefix(notetext::text(workArea))));
}

void NoteSplitter::cutMarkedPiece()
{
    // Exactly what is marked moves: whatever the piece holds leaves the work area, and nothing else.
    QTextCursor c = workArea->textCursor();
    const QString text = notetext::text(workArea);
    const int from = c.selectionStart(), to = c.selectionEnd();
    notetext::setText(pieceEdit, text.mid(from, to - from));
    if (to > from) {
        c.removeSelectedText();
        workArea->setTextCursor(c);
    }
    showLength();
}

void NoteSplitter::copyPiece()
{
    platform::services().clipboard->setText(notetext::text(pieceEdit));
    emit pieceCopied();
}

bool NoteSplitter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == workArea && event->type() == QEvent::FocusIn) {
        // A click places the caret after the focus arrives: the mark waits for the click to end.
        if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
            m_markAfterClick = true;
        else
            markUpToCaret();
    } else if (watched == workArea && event->type() == QEvent::FocusOut && workArea->document()->isModified()) {
        workArea->document()->setModified(false);
        showLength();
    } else if (watched == workArea->viewport() && event->type() == QEvent::MouseButtonRelease && m_markAfterClick) {
        m_markAfterClick = false;
        QMetaObject::invokeMethod(this, &NoteSplitter::markUpToCaret, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void NoteSplitter::placeControls(int fieldWidth, int pageHeight)
{
    // The buttons and the length in a row; below them the work area, which takes the height; then
    // the piece with its copy button.
    const int left = 18, row = 92;
    setUnitGeometry(pasteButton, QRect(left, 12, 520, row));
    setUnitGeometry(markButton, QRect(left + 540, 12, 300, row));
    setUnitGeometry(cutButton, QRect(left + 860, 12, 300, row));
    setUnitGeometry(lengthLabel, QRect(left + 1190, 20, 600, 76));
    const QRect work(left, 116, fieldWidth, pageHeight - 680);
    setUnitGeometry(workArea, work);
    const QRect piece(left, work.y() + work.height() + 16, fieldWidth, 360);
    setUnitGeometry(pieceEdit, piece);
    setUnitGeometry(copyPieceButton, QRect(left, piece.y() + piece.height() + 12, 420, row));
}
