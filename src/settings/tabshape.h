#pragma once
// The shape the pages of the settings page's upper tab control share: a frame filling the page but
// for a strip on the right, and the page's action buttons in that strip. In layout units, inside
// the tab page.

#include <QRect>

namespace settings::tabshape {

constexpr int FrameX = 20;
constexpr int FrameY = 0;
constexpr int ButtonWidth = 400;
constexpr int ButtonHeight = 100;
constexpr int FirstButtonY = 24;
constexpr int SecondButtonY = 144;

// The frame of a tab page `w` × `h` units large: 500 units narrower than the page, 14 lower.
inline QRect frame(int w, int h)
{
    return QRect(FrameX, FrameY, w - 500, h - 14);
}

// An action button, 50 units right of the frame.
inline QRect button(int w, int y = FirstButtonY)
{
    const QRect f = frame(w, 0);
    return QRect(f.x() + f.width() + 50, y, ButtonWidth, ButtonHeight);
}

} // namespace settings::tabshape
