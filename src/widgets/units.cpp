#include "widgets/units.h"

#include <cmath>

namespace units {

namespace {
constexpr qreal kX = 0.2188;
constexpr qreal kY = 0.25;
}

int toPixelsX(int u, qreal dpi) { return int(std::lround(u * kX * dpi / 96.0)); }
int toPixelsY(int u, qreal dpi) { return int(std::lround(u * kY * dpi / 96.0)); }
int toUnitsX(int px, qreal dpi) { return int(std::lround(px / (kX * dpi / 96.0))); }
int toUnitsY(int px, qreal dpi) { return int(std::lround(px / (kY * dpi / 96.0))); }

QRect toPixels(const QRect &r, qreal dpi)
{
    return QRect(toPixelsX(r.x(), dpi), toPixelsY(r.y(), dpi), toPixelsX(r.width(), dpi), toPixelsY(r.height(), dpi));
}

QSize toPixels(const QSize &s, qreal dpi)
{
    return QSize(toPixelsX(s.width(), dpi), toPixelsY(s.height(), dpi));
}

} // namespace units
