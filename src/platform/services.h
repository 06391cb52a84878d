#pragma once
// The operating-system services the program uses, one interface each. The program reaches them only
// through services(); tests install fakes for the whole of a test with a ServicesOverride.

#include "platform/autostart.h"
#include "platform/clock.h"
#include "platform/clipboard.h"
#include "platform/filedialogs.h"
#include "platform/idle.h"
#include "platform/keyring.h"
#include "platform/messagebox.h"
#include "platform/passwordprompt.h"
#include "platform/printers.h"
#include "platform/restart.h"
#include "platform/tray.h"

#include <memory>

namespace platform {

struct Services
{
    std::unique_ptr<MessageBoxes> messageBoxes;
    std::unique_ptr<FileDialogs> fileDialogs;
    std::unique_ptr<Clipboard> clipboard;
    std::unique_ptr<Autostart> autostart;
    std::unique_ptr<IdleCountdown> idle;
    std::unique_ptr<Printers> printers;
    std::unique_ptr<Restarter> restarter;
    std::unique_ptr<Tray> tray;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<Keyring> keyring;
    std::unique_ptr<PasswordPrompt> passwordPrompt;
};

// The services in use; made on first use with this platform's implementations.
Services &services();

// This platform's implementations.
Services nativeServices();

// The file name of the program's executable on this platform ("mivo", "Mivo.exe").
QString executableName();

// Replaces the services for its lifetime (tests); the previous ones come back afterwards.
class ServicesOverride
{
public:
    explicit ServicesOverride(Services replacement);
    ~ServicesOverride();
    ServicesOverride(const ServicesOverride &) = delete;
    ServicesOverride &operator=(const ServicesOverride &) = delete;

private:
    Services m_saved;
};

} // namespace platform
