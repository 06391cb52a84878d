#include "shell/unitgeometry.h"

#include "widgets/units.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr char kUnits[] = "mivoUnitGeometry";
}

QRect unitGeometry(const QWidget *widget)
{
    return widget->property(kUnits).toRect();
}

void setUnitGeometry(QWidget *widget, const QRect &units)
{
    // QRect keeps a negative size as it is; only the pixels are clamped.
    widget->setProperty(kUnits, units);
    const qreal dx = widget->logicalDpiX();
    const qreal dy = widget->logicalDpiY();
    widget->setGeometry(units::toPixelsX(units.x(), dx), units::toPixelsY(units.y(), dy),
                        std::max(0, units::toPixelsX(units.width(), dx)),
                        std::max(0, units::toPixelsY(units.height(), dy)));
}
