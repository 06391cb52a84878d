#include "pagekit/page.h"

#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QResizeEvent>

namespace pagekit {

Page::Page(QWidget *parent)
    : QWidget(parent)
{
}

void Page::of_lock(bool)
{
}

void Page::of_exit()
{
}

QRect Page::unitRect() const
{
    if (hasUnitGeometry(this))
        return unitGeometry(this);
    return QRect(0, 0, units::toUnitsX(width(), logicalDpiX()), units::toUnitsY(height(), logicalDpiY()));
}

void Page::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QRect r = unitRect();
    of_layout(r.width(), r.height());
}

} // namespace pagekit
