#pragma once

#include <QString>
#include <Qt>

// Whether a key press unlocks the program. `stored` is the lockshortCut setting: character 1
// "1" = lock function on, 2 Ctrl, 3 Shift, 4 the key (a letter or digit). Shift alone, Ctrl alone and
// both must be held exactly; a hotkey without either matches whatever modifiers are held.
bool lockHotkeyMatches(const QString &stored, int key, Qt::KeyboardModifiers modifiers);
