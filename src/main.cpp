#include "app/mivo.h"
#include "shell/startup.h"

int main(int argc, char **argv)
{
    mivo app(argc, argv);
    return runMivo(app, QCoreApplication::applicationFilePath());
}
