#include "platform/qtservices.h"
#include "platform/windows/registryautostart.h"

namespace platform {

Services nativeServices()
{
    Services s;
    s.messageBoxes = std::make_unique<QtMessageBoxes>();
    s.fileDialogs = std::make_unique<QtFileDialogs>();
    s.clipboard = std::make_unique<QtClipboard>();
    s.autostart = std::make_unique<RegistryAutostart>();
    s.idle = std::make_unique<QtIdleCountdown>();
    s.printers = std::make_unique<QtPrinters>();
    s.restarter = std::make_unique<QtRestarter>();
    s.clock = std::make_unique<SystemClock>();
    s.tray = std::make_unique<QtTray>();
    // The password is asked once a run until a keyring of this platform is wired in.
    s.keyring = std::make_unique<RunKeyring>();
    s.passwordPrompt = std::make_unique<QtPasswordPrompt>();
    return s;
}

QString executableName()
{
    return QStringLiteral("Mivo.exe");
}

} // namespace platform
