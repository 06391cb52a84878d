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
    setObjectName(QStringLiteral("tp_3"));
    setAccessibleName(QStringLiteral("编辑"));

    mle_2 = textField(QStringLiteral("mle_2"), QStringLiteral("待分拆的文本"), this);
    // The piece marked stays visible while a button has the focus.
    QPalette p = mle_2->palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    mle_2->setPalette(p);
    mle_2->installEventFilter(this);
    mle_2->viewport()->installEventFilter(this);

    st_01 = new QLabel(this);
    st_01->setObjectName(QStringLiteral("st_01"));
    st_01->setFont(notetext::verdana());
    QPalette blue = st_01->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    st_01->setPalette(blue);

    cb_11 = pagekit::makeButton(QStringLiteral("从剪贴板粘贴&P"), QStringLiteral("cb_11"), this);
    cb_6 = pagekit::makeButton(QStringLiteral("定位&L"), QStringLiteral("cb_6"), this);
    cb_10 = pagekit::makeButton(QStringLiteral("截取&I"), QStringLiteral("cb_10"), this);
    cb_9 = pagekit::makeButton(QStringLiteral("复制截取&O"), QStringLiteral("cb_9"), this);
    for (QPushButton *b : {cb_11, cb_6, cb_10, cb_9})
        b->setFont(notetext::verdana());

    mle_01 = textField(QStringLiteral("mle_01"), QStringLiteral("截取的文本"), this);

    connect(cb_11, &QPushButton::clicked, this, &NoteSplitter::cb_11_clicked);
    connect(cb_6, &QPushButton::clicked, this, &NoteSplitter::cb_6_clicked);
    connect(cb_10, &QPushButton::clicked, this, &NoteSplitter::cb_10_clicked);
    connect(cb_9, &QPushButton::clicked, this, &NoteSplitter::cb_9_clicked);
    showLength();
}

void NoteSplitter::showLength()
{
    const QString bytes = QString::number(gbkLength(notetext::text(mle_2)));
    st_01->setText(bytes);
    // A screen reader reads the count with what it counts, as the eye sees it.
    st_01->setAccessibleName(QStringLiteral("字节数: ") + bytes);
}

void NoteSplitter::select(int from, int to)
{
    QTextCursor c(mle_2->document());
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    mle_2->setTextCursor(c);
}

void NoteSplitter::cb_11_clicked()
{
    notetext::setText(mle_2, platform::services().clipboard->text());
    showLength();
}

void NoteSplitter::mle_2_modified()
{
    showLength();
}

void NoteSplitter::mle_2_getfocus()
{
    // The part before the caret is the candidate piece.
    select(0, mle_2->textCursor().position());
}

void NoteSplitter::cb_6_clicked()
{
    // The longest leading piece a note can hold; it stops before a character that would cross the
    // limit. Positions in the field count the text's UTF-16 units, a line break as one.
    select(0, int(notetext::fittingPrefix(notetext::text(mle_2))));
}

void NoteSplitter::cb_10_clicked()
{
    // Exactly what is marked moves: whatever the piece holds leaves the work area, and nothing else.
    QTextCursor c = mle_2->textCursor();
    const QString text = notetext::text(mle_2);
    const int from = c.selectionStart(), to = c.selectionEnd();
    notetext::setText(mle_01, text.mid(from, to - from));
    if (to > from) {
        c.removeSelectedText();
        mle_2->setTextCursor(c);
    }
    showLength();
}

void NoteSplitter::cb_9_clicked()
{
    platform::services().clipboard->setText(notetext::text(mle_01));
    emit pieceCopied();
}

bool NoteSplitter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mle_2 && event->type() == QEvent::FocusIn) {
        // A click places the caret after the focus arrives: the mark waits for the click to end.
        if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
            m_markAfterClick = true;
        else
            mle_2_getfocus();
    } else if (watched == mle_2 && event->type() == QEvent::FocusOut && mle_2->document()->isModified()) {
        mle_2->document()->setModified(false);
        mle_2_modified();
    } else if (watched == mle_2->viewport() && event->type() == QEvent::MouseButtonRelease && m_markAfterClick) {
        m_markAfterClick = false;
        QMetaObject::invokeMethod(this, &NoteSplitter::mle_2_getfocus, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void NoteSplitter::of_layout(int fieldWidth, int pageHeight)
{
    // The buttons and the length in a row; below them the work area, which takes the height; then
    // the piece with its copy button.
    const int left = 18, row = 92;
    setUnitGeometry(cb_11, QRect(left, 12, 520, row));
    setUnitGeometry(cb_6, QRect(left + 540, 12, 300, row));
    setUnitGeometry(cb_10, QRect(left + 860, 12, 300, row));
    setUnitGeometry(st_01, QRect(left + 1190, 20, 600, 76));
    const QRect work(left, 116, fieldWidth, pageHeight - 680);
    setUnitGeometry(mle_2, work);
    const QRect piece(left, work.y() + work.height() + 16, fieldWidth, 360);
    setUnitGeometry(mle_01, piece);
    setUnitGeometry(cb_9, QRect(left, piece.y() + piece.height() + 12, 420, row));
}
