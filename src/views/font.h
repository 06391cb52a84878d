#pragma once
// The pages ask for "宋体"; where it is not installed the family list falls back to an installed CJK
// font, so Chinese never shows as boxes.

#include <QFont>
#include <QStringList>

namespace views {

QStringList songtiFamilies();
QFont songtiFont(int pointSize = 9);

} // namespace views
