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

const QString NoteEditor::placeholder = QStringLiteral("/*最多32767字符,16383汉字,否则请使用编辑器辅助分拆,切勿包含日文*/");

NoteEditor::NoteEditor(QWidget *parent)
    : QWidget(parent)
{
    groupList = new QComboBox(this);
    groupList->setObjectName(QStringLiteral("ddlb_1"));
    groupList->setEditable(false);
    groupLabel = pagekit::makeLabel(QStringLiteral("组"), QStringLiteral("st_1"), groupList, this);

    titleEdit = new QLineEdit(this);
    titleEdit->setObjectName(QStringLiteral("sle_1"));
    titleLabel = pagekit::makeLabel(QStringLiteral("标题"), QStringLiteral("st_2"), titleEdit, this);

    textEdit = new QPlainTextEdit(this);
    textEdit->setObjectName(QStringLiteral("mle_1"));
    textEdit->setAccessibleName(QStringLiteral("内容"));
    textEdit->setFont(views::songtiFont(10));
    textEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textEdit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // A text longer than a note may hold is refused when it is saved, with a message; cutting it
    // while typing or pasting would lose what did not fit without a word.
    notetext::setText(textEdit, placeholder);
    textEdit->installEventFilter(this);

    smallerFontButton = pictureButton(QStringLiteral("P003.gif"), QStringLiteral("减小字体"), QStringLiteral("cb_8"), this);
    largerFontButton = pictureButton(QStringLiteral("P002.gif"), QStringLiteral("增大字体"), QStringLiteral("cb_7"), this);
    wrapButton = pictureButton(QStringLiteral("P005.gif"), QStringLiteral("自动换行切换"), QStringLiteral("pb_2"), this);
    readerButton = pictureButton(QStringLiteral("P006.gif"), QStringLiteral("最大化阅读"), QStringLiteral("pb_1"), this);
    copyAllButton = pictureButton(QStringLiteral("P004.gif"), QStringLiteral("全选并复制到剪贴板"), QStringLiteral("pb_3"), this);
    connect(smallerFontButton, &QToolButton::clicked, this, &NoteEditor::smallerFont);
    connect(largerFontButton, &QToolButton::clicked, this, &NoteEditor::largerFont);
    connect(wrapButton, &QToolButton::clicked, this, &NoteEditor::toggleWrap);
    connect(readerButton, &QToolButton::clicked, this, &NoteEditor::openReader);
    connect(copyAllButton, &QToolButton::clicked, this, &NoteEditor::copyAll);

    setTabOrder(groupList, titleEdit);
    setTabOrder(titleEdit, textEdit);
}

QString NoteEditor::text() const
{
    return notetext::text(textEdit);
}

void NoteEditor::setText(const QString &text)
{
    notetext::setText(textEdit, text);
}

bool NoteEditor::eventFilter(QObject *watched, QEvent *event)
{
    // The placeholder goes when the field takes the focus, and only the placeholder itself: a text
    // that merely contains it is the user's.
    if (watched == textEdit && event->type() == QEvent::FocusIn && text() == placeholder)
        setText(QString());
    return QWidget::eventFilter(watched, event);
}

int NoteEditor::fontSize() const
{
    return textEdit->font().pointSize();
}

void NoteEditor::setFontSize(int points)
{
    // No upper bound; one point is the smallest size a font can be drawn at.
    QFont f = textEdit->font();
    f.setPointSize(std::max(1, points));
    textEdit->setFont(f);
}

void NoteEditor::smallerFont()
{
    setFontSize(fontSize() - 1);
}

void NoteEditor::largerFont()
{
    setFontSize(fontSize() + 1);
}

void NoteEditor::toggleWrap()
{
    // With the horizontal scroll bar lines run on; without it they wrap at the field's edge.
    const bool wrapping = textEdit->lineWrapMode() != QPlainTextEdit::NoWrap;
    textEdit->setLineWrapMode(wrapping ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    textEdit->setHorizontalScrollBarPolicy(wrapping ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void NoteEditor::copyAll()
{
    textEdit->selectAll();
    textEdit->setFocus();
    platform::services().clipboard->setText(text());
}

void NoteEditor::openReader()
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

void NoteEditor::setLocked(bool locked)
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

int NoteEditor::textWidth() const
{
    return unitGeometry(textEdit).width();
}

void NoteEditor::placeControls(int tabWidth, int tabHeight)
{
    // Two rows above the text: the group with the tools at the right, then the title. The text
    // field's left edge is the labels'; the title's right edge is the text field's, and the tools
    // end there.
    const int left = 18, fieldX = left + 233, rowHeight = 92;
    const int fieldWidth = tabWidth - 59;
    setUnitGeometry(groupLabel, QRect(left, 24, 200, 76));
    setUnitGeometry(groupList, QRect(fieldX, 12, 600, rowHeight));
    setUnitGeometry(titleLabel, QRect(left, 124, 200, 76));
    const QRect title(fieldX, 112, fieldWidth - 233, rowHeight);
    setUnitGeometry(titleEdit, title);
    setUnitGeometry(textEdit, QRect(left, 214, fieldWidth, tabHeight - 356));

    const int r = title.x() + title.width();
    int step = 1;
    for (QToolButton *b : {readerButton, wrapButton, copyAllButton, smallerFontButton, largerFontButton})
        setUnitGeometry(b, QRect(r - 101 * step++, 12, 96, rowHeight));
}
