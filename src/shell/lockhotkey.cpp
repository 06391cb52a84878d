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

bool lockHotkeyMatches(const QString &stored, int key, Qt::KeyboardModifiers modifiers)
{
    const QString use = stored.mid(0, 1);
    const QString ctrl = stored.mid(1, 1);
    const QString shift = stored.mid(2, 1);
    const QString letter = stored.mid(3, 1);
    if (use != QLatin1String("1"))
        return false;
    // Letters and digits have the same codes as their capital characters.
    const int keyCode = letter.isEmpty() ? 0 : letter.toUpper().at(0).unicode();
    const int pressed = (modifiers & Qt::ShiftModifier) ? unshifted(key) : key;
    const bool down = keyCode != 0 && pressed == keyCode;
    const bool shiftHeld = modifiers & Qt::ShiftModifier;
    const bool ctrlHeld = modifiers & Qt::ControlModifier;

    const QString combination = shift + ctrl;
    if (combination == QLatin1String("10"))
        return down && shiftHeld && !ctrlHeld;
    if (combination == QLatin1String("01"))
        return down && ctrlHeld && !shiftHeld;
    if (combination == QLatin1String("11"))
        return down && shiftHeld && ctrlHeld;
    if (combination == QLatin1String("00"))
        return down;
    return false;
}
