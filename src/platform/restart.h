#pragma once

#include <QStringList>

namespace platform {

class Restarter
{
public:
    virtual ~Restarter() = default;
    // Starts a new copy of the program with `arguments` and ends this one in the ordinary way (its
    // window closes as if the user closed it); false when the new copy could not start, and then
    // this one goes on.
    virtual bool restart(const QStringList &arguments) = 0;
};

// The command line the program was started with, without the program's name, exactly as given:
// the toolkit takes its own options (such as -platform) out of argv while starting, so main()
// records argv before. Without a record, what the toolkit left.
void recordCommandLine(int argc, char **argv);
QStringList startArguments();

} // namespace platform
