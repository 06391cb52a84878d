#include "shell/lockhotkey.h"

namespace {

// With Shift held a digit key reports the symbol printed above it; the hotkey names the key itself,
// so Shift+1 must still unlock a "1" hotkey.
int unshifted(int key)
{
    static constexpr char kSymbols[] = ")!@#$%^&*(";
    for (int digit = 0; digit < 10; ++digit)
        if (key == kSymbols[digit])
            return '0' + digit;
    return key;
}

} // namespace

bool lockHotkeyMatches(const QString &ls_shortcut, int key, Qt::KeyboardModifiers modifiers)
{
    const QString use = ls_shortcut.mid(0, 1);
    const QString ctrl = ls_shortcut.mid(1, 1);
    const QString shift = ls_shortcut.mid(2, 1);
    const QString ls_key = ls_shortcut.mid(3, 1);
    if (use != QLatin1String("1"))
        return false;
    // Letters and digits have the same codes as their capital characters.
    const int li_key = ls_key.isEmpty() ? 0 : ls_key.toUpper().at(0).unicode();
    const int pressed = (modifiers & Qt::ShiftModifier) ? unshifted(key) : key;
    const bool down = li_key != 0 && pressed == li_key;
    int flags = 0;
    if (modifiers & Qt::ShiftModifier)
        flags |= 1;
    if (modifiers & Qt::ControlModifier)
        flags |= 2;

    const QString combination = shift + ctrl;
    if (combination == QLatin1String("10"))
        return down && flags == 1;
    if (combination == QLatin1String("01"))
        return down && flags == 2;
    if (combination == QLatin1String("11"))
        return down && flags == 3;
    if (combination == QLatin1String("00"))
        return down;
    return false;
}
