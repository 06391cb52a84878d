#pragma once
// Layout units: the geometry the pages reason in. Code keeps unit values and converts only where it
// applies them to a widget, so that rules such as "width >= 2000 units" stay exact.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace units {

// Pixels per unit at 96 dpi: 0.2188 horizontally, 0.25 vertically.
int toPixelsX(int units, qreal dpi = 96.0);
int toPixelsY(int units, qreal dpi = 96.0);
int toUnitsX(int pixels, qreal dpi = 96.0);
int toUnitsY(int pixels, qreal dpi = 96.0);
QRect toPixels(const QRect &unitsRect, qreal dpi = 96.0);
QSize toPixels(const QSize &unitsSize, qreal dpi = 96.0);

} // namespace units
