#pragma once
// Controls placed in layout units keep the unit rectangle they were given, so that arithmetic on
// positions (the banner's bounce, the resize rules, the notebook's zoom test) stays exact however the
// pixels round. A control's pixel edges are its unit edges measured from the window, rounded: two
// controls that meet in units meet in pixels, and a control flush with its page's edge ends exactly
// where the page ends.

#include <QRect>

class QWidget;

// The unit rectangle last given to `widget`, in its parent's units; an empty rectangle when it was
// never placed in units.
QRect unitGeometry(const QWidget *widget);
bool hasUnitGeometry(const QWidget *widget);
// Remembers `units` and moves the widget there in pixels. A negative width or height (a window
// narrower than the margins) is shown as no width or height.
void setUnitGeometry(QWidget *widget, const QRect &units);
