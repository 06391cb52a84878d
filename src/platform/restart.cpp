#include "platform/restart.h"

#include <QCoreApplication>
#include <optional>

namespace platform {

namespace {

std::optional<QStringList> &recorded()
{
    static std::optional<QStringList> arguments;
    return arguments;
}

} // namespace

void recordCommandLine(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    recorded() = arguments;
}

QStringList startArguments()
{
    if (recorded())
        return *recorded();
    return QCoreApplication::arguments().mid(1);
}

} // namespace platform
