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
    st_version = new QLabel(this);
    st_version->setObjectName(QStringLiteral("st_version"));
    QFont font;
    // A fixed-pitch face with Chinese glyphs twice as wide as Latin ones, as the width rule assumes.
    font.setFamilies(views::installedFamilies({QStringLiteral("Fixedsys"), QStringLiteral("WenQuanYi Micro Hei Mono"),
                                               QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("monospace")}));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(std::max(8, units::toPixelsY(56, logicalDpiY())));
    st_version->setFont(font);
    QPalette palette = st_version->palette();
    palette.setColor(QPalette::WindowText, QColor(0x1f, 0x4e, 0x8c));
    st_version->setPalette(palette);
    st_version->setCursor(Qt::PointingHandCursor);
    st_version->setToolTip(QStringLiteral("单击看下一条"));
    st_version->installEventFilter(this);
    setUnitGeometry(st_version, QRect(0, 0, 0, BannerHeight));
}

void MainWindow::setBannerText(const QString &text)
{
    st_version->setText(text);
    st_version->setAccessibleName(text);
    QRect r = unitGeometry(st_version);
    r.setWidth(int(BannerUnitsPerByte * gbkLength(text)));
    setUnitGeometry(st_version, r);
}

void MainWindow::of_change_ad()
{
    // Each text is followed by the next, the last by the first; an unknown text by the first.
    const qsizetype i = is_ad.indexOf(st_version->text());
    const qsizetype next = i < 0 || is_ad.isEmpty() ? 0 : (i + 1) % is_ad.size();
    setBannerText(is_ad.value(next));
}

void MainWindow::timer()
{
    const QRect area = unitGeometry(st_1);
    QRect banner = unitGeometry(st_version);
    if (!ib_left) {
        banner.moveLeft(banner.x() + BannerStep);
        setUnitGeometry(st_version, banner);
        if (banner.x() >= area.x() + area.width() - banner.width() - BannerMargin)
            ib_left = true;
    } else {
        banner.moveLeft(banner.x() - BannerStep);
        setUnitGeometry(st_version, banner);
        if (area.x() + BannerMargin >= banner.x()) {
            ib_left = false;
            of_change_ad();
        }
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == st_version && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        of_change_ad();
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

    QRect list = unitGeometry(lv_1);
    list = QRect(10, 10, list.width(), workHeight - 20);
    setUnitGeometry(lv_1, list);

    const QRect area(list.x() + list.width() + 20, list.y(), workWidth - (list.width() + 40), list.height());
    setUnitGeometry(st_1, area);

    // Every page, shown or hidden, lays out its controls from its rectangle in units.
    for (pagekit::Page *page : pages()) {
        setUnitGeometry(page, area);
        page->arrange(area.width(), area.height());
    }
    setUnitGeometry(ole_ie, area);

    // The banner starts again from the left, keeping its direction.
    QRect banner = unitGeometry(st_version);
    banner.moveTo(area.x() + BannerMargin, area.y() + area.height() - banner.height() - 20);
    setUnitGeometry(st_version, banner);
    st_1->stackUnder(st_version);
    setUpdatesEnabled(true);
}
