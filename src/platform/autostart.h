#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Start with the user's log-on: the per-user Run key on Windows, an XDG autostart entry elsewhere.
class Autostart
{
public:
    virtual ~Autostart() = default;
    // Registers `program` started with `arguments` under `name`, quoted as the platform reads a
    // command line; false when it could not be written (an entry already there stays as it was).
    virtual bool enable(const QString &name, const QString &program, const QStringList &arguments) = 0;
    // The command line registered under `name` as one text, or an empty string.
    virtual QString command(const QString &name) const = 0;
    // Removes the entry `name` and nothing else; true when none is left.
    virtual bool disable(const QString &name) = 0;
};

} // namespace platform
