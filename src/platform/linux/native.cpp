#include "platform/linux/secretkeyring.h"
#include "platform/linux/xdgautostart.h"
#include "platform/qtservices.h"

namespace platform {

Services nativeServices()
{
    Services s;
    s.messageBoxes = std::make_unique<QtMessageBoxes>();
    s.fileDialogs = std::make_unique<QtFileDialogs>();
    s.clipboard = std::make_unique<QtClipboard>();
    s.autostart = std::make_unique<XdgAutostart>();
    s.idle = std::make_unique<QtIdleCountdown>();
    s.printers = std::make_unique<QtPrinters>();
    s.restarter = std::make_unique<QtRestarter>();
    s.clock = std::make_unique<SystemClock>();
    s.tray = std::make_unique<QtTray>();
    s.keyring = std::make_unique<SecretServiceKeyring>();
    s.passwordPrompt = std::make_unique<QtPasswordPrompt>();
    return s;
}

QString executableName()
{
    return QStringLiteral("mivo");
}

} // namespace platform
