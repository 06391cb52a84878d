#include "settings/tabshape.h"

#include "widgets/units.h"

#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTabWidget>

namespace settings::tabshape {

QSize pageSize(const QTabWidget *tabs, const QSize &units)
{
    const qreal dx = tabs->logicalDpiX(), dy = tabs->logicalDpiY();
    QStyleOptionTabWidgetFrame option;
    option.initFrom(tabs);
    option.rect = QRect(0, 0, units::toPixelsX(std::max(0, units.width()), dx),
                        units::toPixelsY(std::max(0, units.height()), dy));
    option.shape = tabs->tabBar()->shape();
    option.tabBarSize = tabs->tabBar()->sizeHint();
    option.lineWidth = tabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs);
    const QRect contents = tabs->style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, tabs);
    return QSize(units::toUnitsX(contents.width(), dx), units::toUnitsY(contents.height(), dy));
}

} // namespace settings::tabshape
