#pragma once
// Asks the user for a password, for a secret the keyring does not hold (a desktop without one).

#include <QString>

namespace platform {

class PasswordPrompt
{
public:
    virtual ~PasswordPrompt() = default;
    // What the user typed; empty when the user cancelled (or the program is locked).
    virtual QString ask(const QString &title, const QString &text) = 0;
};

} // namespace platform
