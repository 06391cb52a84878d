#pragma once
// The pages ask for "宋体"; where it is not installed the family list falls back to an installed CJK
// font, so Chinese never shows as boxes.

#include <QFont>
#include <QStringList>

namespace views {

// Those of `wanted` that are installed, in their order; all of them when none is (the font
// configuration then finds what it can).
QStringList installedFamilies(const QStringList &wanted);
// The families for "宋体", resolved once per run.
QStringList songtiFamilies();
QFont songtiFont(int pointSize = 9);

} // namespace views
