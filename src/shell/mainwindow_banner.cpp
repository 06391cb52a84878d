// The banner and the window-level layout of MainWindow.

#include "shell/mainwindow.h"

#include "addressbook/addressbookpage.h"
#include "app/textcodec.h"
#include "assets/assetspage.h"
#include "ledger/ledgerpage.h"
#include "notebook/notebookpage.h"
#include "settings/settingspage.h"
#include "shell/helpbrowser.h"
#include "shell/navigationlist.h"
#include "views/font.h"
#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QLabel>
#include <QMouseEvent>

void MainWindow::createBanner()
{
    banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("st_version"));
    QFont font;
    // A fixed-pitch face with Chinese glyphs twice as wide as Latin ones, as the width rule assumes.
    font.setFamilies(views::installedFamilies({QStringLiteral("Fixedsys"), QStringLiteral("WenQuanYi Micro Hei Mono"),
                                               QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("monospace")}));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(std::max(8, units::toPixelsY(56, logicalDpiY())));
    banner->setFont(font);
    QPalette palette = banner->palette();
    palette.setColor(QPalette::WindowText, QColor(0x1f, 0x4e, 0x8c));
    banner->setPalette(palette);
    banner->setCursor(Qt::PointingHandCursor);
    banner->setToolTip(QStringLiteral("单击看下一条"));
    banner->installEventFilter(this);
    setUnitGeometry(banner, QRect(0, 0, 0, BannerHeight));
}

void MainWindow::setBannerText(const QString &text)
{
    banner->setText(text);
    banner->setAccessibleName(text);
    QRect r = unitGeometry(banner);
    r.setWidth(int(BannerUnitsPerByte * gbkLength(text)));
    setUnitGeometry(banner, r);
}

void MainWindow::nextBannerText()
{
    // Each text is followed by the next, the last by the first; an unknown text by the first.
    const qsizetype i = bannerTexts.indexOf(banner->text());
    const qsizetype next = i < 0 || bannerTexts.isEmpty() ? 0 : (i + 1) % bannerTexts.size();
    setBannerText(bannerTexts.value(next));
}

void MainWindow::moveBanner()
{
    const QRect area = unitGeometry(contentArea);
    QRect place = unitGeometry(banner);
    if (!m_bannerMovingLeft) {
        place.moveLeft(place.x() + BannerStep);
        setUnitGeometry(banner, place);
        if (place.x() >= area.x() + area.width() - place.width() - BannerMargin)
            m_bannerMovingLeft = true;
    } else {
        place.moveLeft(place.x() - BannerStep);
        setUnitGeometry(banner, place);
        if (area.x() + BannerMargin >= place.x()) {
            m_bannerMovingLeft = false;
            nextBannerText();
        }
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == banner && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        nextBannerText();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}

void MainWindow::layoutControls()
{
    if (isMinimized())
        return;
    setUpdatesEnabled(false);
    const int workWidth = units::toUnitsX(width(), logicalDpiX());
    const int workHeight = units::toUnitsY(height(), logicalDpiY());

    QRect list = unitGeometry(navigation);
    list = QRect(10, 10, list.width(), workHeight - 20);
    setUnitGeometry(navigation, list);

    const QRect area(list.x() + list.width() + 20, list.y(), workWidth - (list.width() + 40), list.height());
    setUnitGeometry(contentArea, area);

    // Every page, shown or hidden, lays out its controls from its rectangle in units.
    for (pagekit::Page *page : pages()) {
        setUnitGeometry(page, area);
        page->arrange(area.width(), area.height());
    }
    setUnitGeometry(helpBrowser, area);

    // The banner starts again from the left, keeping its direction.
    QRect place = unitGeometry(banner);
    place.moveTo(area.x() + BannerMargin, area.y() + area.height() - place.height() - 20);
    setUnitGeometry(banner, place);
    contentArea->stackUnder(banner);
    setUpdatesEnabled(true);
}
