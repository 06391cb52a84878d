#include "widgets/unitgeometry.h"

#include "widgets/units.h"

#include <QVariant>
#include <QWidget>

namespace {

constexpr char kUnits[] = "mivoUnitGeometry";

// Where `widget`'s top-left corner lies in units, counted over the chain of parents placed in units.
QPoint unitOrigin(const QWidget *widget)
{
    QPoint origin;
    for (const QWidget *w = widget; w && hasUnitGeometry(w); w = w->parentWidget())
        origin += unitGeometry(w).topLeft();
    return origin;
}

} // namespace

QRect unitGeometry(const QWidget *widget)
{
    return widget->property(kUnits).toRect();
}

bool hasUnitGeometry(const QWidget *widget)
{
    return widget->property(kUnits).isValid();
}

void setUnitGeometry(QWidget *widget, const QRect &units)
{
    // QRect keeps a negative size as it is; only the pixels are clamped.
    widget->setProperty(kUnits, units);
    const qreal dx = widget->logicalDpiX();
    const qreal dy = widget->logicalDpiY();
    const QPoint base = unitOrigin(widget->parentWidget());
    const int baseX = units::toPixelsX(base.x(), dx), baseY = units::toPixelsY(base.y(), dy);
    const int left = units::toPixelsX(base.x() + units.x(), dx) - baseX;
    const int top = units::toPixelsY(base.y() + units.y(), dy) - baseY;
    const int right = units::toPixelsX(base.x() + units.x() + std::max(0, units.width()), dx) - baseX;
    const int bottom = units::toPixelsY(base.y() + units.y() + std::max(0, units.height()), dy) - baseY;
    widget->setGeometry(left, top, right - left, bottom - top);
}
