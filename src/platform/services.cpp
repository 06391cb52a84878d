#include "platform/services.h"

#include "platform/dialoglock.h"

namespace platform {

namespace {

Services &current()
{
    static Services s;
    return s;
}

template <typename T>
void fillMissing(std::unique_ptr<T> &slot, std::unique_ptr<T> &native)
{
    if (!slot)
        slot = std::move(native);
}

template <typename T>
void swapIfGiven(std::unique_ptr<T> &slot, std::unique_ptr<T> &replacement)
{
    if (replacement)
        slot.swap(replacement);
}

} // namespace

Services &services()
{
    Services &s = current();
    if (!s.messageBoxes || !s.fileDialogs || !s.clipboard || !s.autostart || !s.idle || !s.printers
        || !s.restarter || !s.tray || !s.clock || !s.keyring || !s.passwordPrompt) {
        Services n = nativeServices();
        fillMissing(s.messageBoxes, n.messageBoxes);
        fillMissing(s.fileDialogs, n.fileDialogs);
        fillMissing(s.clipboard, n.clipboard);
        fillMissing(s.autostart, n.autostart);
        fillMissing(s.idle, n.idle);
        fillMissing(s.printers, n.printers);
        fillMissing(s.restarter, n.restarter);
        fillMissing(s.tray, n.tray);
        fillMissing(s.clock, n.clock);
        fillMissing(s.keyring, n.keyring);
        fillMissing(s.passwordPrompt, n.passwordPrompt);
    }
    return s;
}

ServicesOverride::ServicesOverride(Services replacement)
{
    Services &s = services();
    // What the replacement leaves empty stays as it is; the rest is swapped in and kept for later.
    swapIfGiven(s.messageBoxes, replacement.messageBoxes);
    swapIfGiven(s.fileDialogs, replacement.fileDialogs);
    swapIfGiven(s.clipboard, replacement.clipboard);
    swapIfGiven(s.autostart, replacement.autostart);
    swapIfGiven(s.idle, replacement.idle);
    swapIfGiven(s.printers, replacement.printers);
    swapIfGiven(s.restarter, replacement.restarter);
    swapIfGiven(s.tray, replacement.tray);
    swapIfGiven(s.clock, replacement.clock);
    swapIfGiven(s.keyring, replacement.keyring);
    swapIfGiven(s.passwordPrompt, replacement.passwordPrompt);
    m_saved = std::move(replacement);
}

ServicesOverride::~ServicesOverride()
{
    Services &s = current();
    swapIfGiven(s.messageBoxes, m_saved.messageBoxes);
    swapIfGiven(s.fileDialogs, m_saved.fileDialogs);
    swapIfGiven(s.clipboard, m_saved.clipboard);
    swapIfGiven(s.autostart, m_saved.autostart);
    swapIfGiven(s.idle, m_saved.idle);
    swapIfGiven(s.printers, m_saved.printers);
    swapIfGiven(s.restarter, m_saved.restarter);
    swapIfGiven(s.tray, m_saved.tray);
    swapIfGiven(s.clock, m_saved.clock);
    swapIfGiven(s.keyring, m_saved.keyring);
    swapIfGiven(s.passwordPrompt, m_saved.passwordPrompt);
}

Answer cancelAnswer(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel: return Answer::Cancel;
    }
    return Answer::Cancel;
}

Answer messageBox(const QString &title, const QString &text, Icon icon, Buttons buttons, int defaultButton)
{
    if (buttons != Buttons::Ok && dialogsLocked())
        return cancelAnswer(buttons);
    return services().messageBoxes->show({title, text, icon, buttons, defaultButton});
}

} // namespace platform
