#pragma once

#include <QIcon>

namespace platform {

// The icon of a picture file holding several sizes (an .ico). A size is decoded only when the icon is
// first drawn at it, from the file's smallest picture at least that large, and kept scaled to it: the
// tray shows one size of the program's icon, and decoding the others, or scaling at every paint, is
// waste. One icon per file for the run, so the window and the tray share what was decoded. Null when
// the file holds no picture that can be read. Drawn in the normal mode only: the tray and the
// window's title do not show icons disabled.
QIcon pictureIcon(const QString &file);

} // namespace platform
