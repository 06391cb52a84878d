#pragma once

#include <QStringList>

namespace platform {

class Restarter
{
public:
    virtual ~Restarter() = default;
    // Starts a new copy of the program with `arguments` and ends this one; false when it could not start.
    virtual bool restart(const QStringList &arguments) = 0;
};

} // namespace platform
