#include "shell/startup.h"

#include "app/application.h"
#include "shell/mainwindow.h"

#include <memory>

int runMivo(Application &app, const QString &executablePath, const QStringList &arguments)
{
    // Hiding the window to the tray must not end the program when a box closes; MainWindow quits itself.
    app.setQuitOnLastWindowClosed(false);
    int status = 0;
    try {
        if (!app.open(executablePath))
            return Application::ExitConnectFailed;
        auto window = std::make_unique<MainWindow>(app.connection());
        // Opening shows the window itself, unless the command line sends it to the tray.
        window->open(arguments);
        if (!app.systemErrorRaised())
            status = app.exec();
        window.reset();
    } catch (const std::exception &e) {
        app.reportSystemError(describeFailure(nullptr, nullptr, &e));
    }
    app.close();
    return app.systemErrorRaised() ? Application::ExitSystemError : status;
}
