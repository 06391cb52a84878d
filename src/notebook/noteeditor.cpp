#include "notebook/noteeditor.h"

#include "app/appinfo.h"
#include "notebook/notetext.h"
#include "notebook/notereader.h"
#include "pagekit/helpers.h"
#include "platform/services.h"
#include "views/font.h"
#include "widgets/unitgeometry.h"

#include <QComboBox>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

namespace {

QToolButton *pictureButton(const QString &picture, const QString &tip, const QString &objectName, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(objectName);
    b->setIcon(QIcon(appFile(QStringLiteral("resource/") + picture)));
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    b->setAutoRaise(false);
    return b;
}

} // namespace

const QString NoteEditor::is_max = QStringLiteral("/*最多32767字符,16383汉字,否则请使用编辑器辅助分拆,切勿包含日文*/");

NoteEditor::NoteEditor(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tp_1"));
    setAccessibleName(QStringLiteral("内容"));

    ddlb_1 = new QComboBox(this);
    ddlb_1->setObjectName(QStringLiteral("ddlb_1"));
    ddlb_1->setEditable(false);
    st_1 = pagekit::makeLabel(QStringLiteral("组"), QStringLiteral("st_1"), ddlb_1, this);

    sle_1 = new QLineEdit(this);
    sle_1->setObjectName(QStringLiteral("sle_1"));
    st_2 = pagekit::makeLabel(QStringLiteral("标题"), QStringLiteral("st_2"), sle_1, this);

    mle_1 = new QPlainTextEdit(this);
    mle_1->setObjectName(QStringLiteral("mle_1"));
    mle_1->setAccessibleName(QStringLiteral("内容"));
    mle_1->setFont(views::songtiFont(10));
    mle_1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mle_1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mle_1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // A text longer than a note may hold is refused when it is saved, with a message; cutting it
    // while typing or pasting would lose what did not fit without a word.
    notetext::setText(mle_1, is_max);
    mle_1->installEventFilter(this);

    cb_8 = pictureButton(QStringLiteral("P003.gif"), QStringLiteral("减小字体"), QStringLiteral("cb_8"), this);
    cb_7 = pictureButton(QStringLiteral("P002.gif"), QStringLiteral("增大字体"), QStringLiteral("cb_7"), this);
    pb_2 = pictureButton(QStringLiteral("P005.gif"), QStringLiteral("自动换行切换"), QStringLiteral("pb_2"), this);
    pb_1 = pictureButton(QStringLiteral("P006.gif"), QStringLiteral("最大化阅读"), QStringLiteral("pb_1"), this);
    pb_3 = pictureButton(QStringLiteral("P004.gif"), QStringLiteral("全选并复制到剪贴板"), QStringLiteral("pb_3"), this);
    connect(cb_8, &QToolButton::clicked, this, &NoteEditor::cb_8_clicked);
    connect(cb_7, &QToolButton::clicked, this, &NoteEditor::cb_7_clicked);
    connect(pb_2, &QToolButton::clicked, this, &NoteEditor::pb_2_clicked);
    connect(pb_1, &QToolButton::clicked, this, &NoteEditor::pb_1_clicked);
    connect(pb_3, &QToolButton::clicked, this, &NoteEditor::pb_3_clicked);

    setTabOrder(ddlb_1, sle_1);
    setTabOrder(sle_1, mle_1);
}

QString NoteEditor::text() const
{
    return notetext::text(mle_1);
}

void NoteEditor::setText(const QString &text)
{
    notetext::setText(mle_1, text);
}

bool NoteEditor::eventFilter(QObject *watched, QEvent *event)
{
    // The placeholder goes when the field takes the focus, and only the placeholder itself: a text
    // that merely contains it is the user's.
    if (watched == mle_1 && event->type() == QEvent::FocusIn && text() == is_max)
        setText(QString());
    return QWidget::eventFilter(watched, event);
}

int NoteEditor::fontSize() const
{
    return mle_1->font().pointSize();
}

void NoteEditor::setFontSize(int points)
{
    // No upper bound; one point is the smallest size a font can be drawn at.
    QFont f = mle_1->font();
    f.setPointSize(std::max(1, points));
    mle_1->setFont(f);
}

void NoteEditor::cb_8_clicked()
{
    setFontSize(fontSize() - 1);
}

void NoteEditor::cb_7_clicked()
{
    setFontSize(fontSize() + 1);
}

void NoteEditor::pb_2_clicked()
{
    // With the horizontal scroll bar lines run on; without it they wrap at the field's edge.
    const bool wrapping = mle_1->lineWrapMode() != QPlainTextEdit::NoWrap;
    mle_1->setLineWrapMode(wrapping ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    mle_1->setHorizontalScrollBarPolicy(wrapping ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void NoteEditor::pb_3_clicked()
{
    mle_1->selectAll();
    mle_1->setFocus();
    platform::services().clipboard->setText(text());
}

void NoteEditor::pb_1_clicked()
{
    const QString content = text();
    if (content.isEmpty())
        return;
    if (!m_reader)
        m_reader = new NoteReader(window());
    m_readerHiddenByLock = false;
    m_reader->open(content, fontSize(), window());
    m_reader->show();
    m_reader->raise();
    m_reader->activateWindow();
}

NoteReader *NoteEditor::reader() const
{
    return m_reader;
}

void NoteEditor::of_lock(bool locked)
{
    if (!m_reader)
        return;
    m_reader->setEnabled(!locked);
    if (locked && m_reader->isVisible()) {
        m_reader->hide();
        m_readerHiddenByLock = true;
    } else if (!locked && m_readerHiddenByLock) {
        m_readerHiddenByLock = false;
        m_reader->show();
    }
}

int NoteEditor::mleWidth() const
{
    return unitGeometry(mle_1).width();
}

void NoteEditor::of_layout(int tabWidth, int tabHeight)
{
    // Two rows above the text: the group with the tools at the right, then the title. The text
    // field's left edge is the labels'; the title's right edge is the text field's, and the tools
    // end there.
    const int left = 18, fieldX = left + 233, rowHeight = 92;
    const int textWidth = tabWidth - 59;
    setUnitGeometry(st_1, QRect(left, 24, 200, 76));
    setUnitGeometry(ddlb_1, QRect(fieldX, 12, 600, rowHeight));
    setUnitGeometry(st_2, QRect(left, 124, 200, 76));
    const QRect title(fieldX, 112, textWidth - 233, rowHeight);
    setUnitGeometry(sle_1, title);
    setUnitGeometry(mle_1, QRect(left, 214, textWidth, tabHeight - 356));

    const int r = title.x() + title.width();
    int step = 1;
    for (QToolButton *b : {pb_1, pb_2, pb_3, cb_8, cb_7})
        setUnitGeometry(b, QRect(r - 101 * step++, 12, 96, rowHeight));
}
