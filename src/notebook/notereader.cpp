#include "notebook/notereader.h"

#include "views/font.h"
#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>

namespace {

// Margins of the text field inside the window, in units: 18 left and right, 16 above and below.
constexpr int kLeft = 18;
constexpr int kTop = 16;

} // namespace

NoteReader::NoteReader(QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                         | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("w_pt_readmax"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("内容"));
    setAccessibleName(QStringLiteral("内容"));
    setWindowIcon(QApplication::windowIcon());

    textEdit = new QPlainTextEdit(this);
    textEdit->setObjectName(QStringLiteral("mle_1"));
    textEdit->setAccessibleName(QStringLiteral("内容"));
    textEdit->setFont(views::songtiFont(10));
    textEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textEdit->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    textEdit->setPlainText(QStringLiteral("none"));
    textEdit->installEventFilter(this);

    setUnitGeometry(textEdit, QRect(kLeft, kTop, 1298, 784));
    resize(units::toPixels(QSize(1600, 1096), logicalDpiX()));
}

void NoteReader::open(const QString &text, int fontSize, const QWidget *mainWindow)
{
    QFont f = textEdit->font();
    f.setPointSize(fontSize);
    textEdit->setFont(f);
    textEdit->setPlainText(text);
    resize(mainWindow->size());
    move(mainWindow->pos());
}

void NoteReader::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = units::toUnitsX(width(), logicalDpiX());
    const int h = units::toUnitsY(height(), logicalDpiY());
    setUnitGeometry(textEdit, QRect(kLeft, kTop, w - 2 * kLeft, h - 2 * kTop));
}

void NoteReader::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool NoteReader::eventFilter(QObject *watched, QEvent *event)
{
    // The text field would take Escape for itself; the window closes on it.
    if (watched == textEdit && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
