#include "shell/startup.h"

#include "app/application.h"
#include "shell/w_main.h"

#include <memory>

int runMivo(Application &app, const QString &executablePath, const QStringList &arguments)
{
    // Hiding the window to the tray must not end the program when a box closes; w_main quits itself.
    app.setQuitOnLastWindowClosed(false);
    int status = 0;
    try {
        if (!app.open(executablePath))
            return Application::ExitConnectFailed;
        auto window = std::make_unique<w_main>(app.connection());
        // Opening shows the window itself, unless the command line sends it to the tray.
        window->open(arguments);
        if (!app.systemErrorRaised())
            status = app.exec();
        window.reset();
    } catch (const std::exception &e) {
        app.systemerror(describeFailure(nullptr, nullptr, &e));
    }
    app.close();
    return app.systemErrorRaised() ? Application::ExitSystemError : status;
}
