#pragma once
// Controls placed in layout units keep the unit rectangle they were given, so that arithmetic on
// positions (the banner's bounce, the resize rules) stays exact however the pixels round.

#include <QRect>

class QWidget;

// The unit rectangle last given to `widget`; an empty rectangle when it was never placed in units.
QRect unitGeometry(const QWidget *widget);
// Remembers `units` and moves the widget there in pixels. A negative width or height (a window
// narrower than the margins) is shown as no width or height.
void setUnitGeometry(QWidget *widget, const QRect &units);
