#include "app/application.h"
#include "platform/restart.h"
#include "shell/startup.h"

int main(int argc, char **argv)
{
    // Before the toolkit takes its own options out: a restart starts with the same command line.
    platform::recordCommandLine(argc, argv);
    Application app(argc, argv);
    return runMivo(app, QCoreApplication::applicationFilePath());
}
