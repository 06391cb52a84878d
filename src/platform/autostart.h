#pragma once

#include <QString>

namespace platform {

// Start with the user's log-on: the per-user Run key on Windows, an XDG autostart entry elsewhere.
class Autostart
{
public:
    virtual ~Autostart() = default;
    // Registers `command` (program path and arguments) under `name`; false when it could not be written.
    virtual bool enable(const QString &name, const QString &command) = 0;
    // The command registered under `name`, or an empty string.
    virtual QString command(const QString &name) const = 0;
    virtual bool disable(const QString &name) = 0;
};

} // namespace platform
