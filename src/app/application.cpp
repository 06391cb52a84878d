#include "app/application.h"

#include "app/installation.h"
#include "platform/services.h"

#include <QDir>
#include <QLibraryInfo>
#include <QMetaEnum>
#include <QTranslator>
#include <QWidget>

namespace {

// The toolkit's own words (file and printer dialogs, a text field's menu, the question before a file
// is replaced) in Simplified Chinese like the rest of the program, whatever the system's language:
// from the toolkit's installation, else from "translations" beside the executable.
void loadToolkitTranslation(QCoreApplication *app)
{
    auto *translator = new QTranslator(app);
    const QString name = QStringLiteral("qtbase_zh_CN");
    if (translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || translator->load(name, QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("mivo"));
    loadToolkitTranslation(this);
}

Application::~Application()
{
    close();
}

bool Application::open(const QString &executablePath)
{
    setApplicationName(QStringLiteral("mivo"));
    QString reason;
    if (!settleFolders(executablePath, &reason)) {
        platform::messageBox(QStringLiteral("001"), QStringLiteral("无法连接数据库!\n") + reason);
        return false;
    }

    const DbResult opened = m_connection.open(dataFile(QStringLiteral("mivo.mdb")));
    if (!opened) {
        platform::messageBox(QStringLiteral("001"), QStringLiteral("无法连接数据库!\n") + namingDatabase(opened.reason));
        return false;
    }
    return true;
}

void Application::setIdleHandler(std::function<void()> handler)
{
    m_idleHandler = std::move(handler);
    if (m_idleHandler && platform::services().idle)
        connect(platform::services().idle.get(), &platform::IdleCountdown::elapsed, this, &Application::idle,
                Qt::UniqueConnection);
}

void Application::idle()
{
    // A modal task the user waits for (a backup) is not idleness.
    if (platform::services().idle && platform::services().idle->held())
        return;
    if (m_idleHandler)
        m_idleHandler();
}

void Application::close()
{
    m_connection.close();
}

void Application::reportSystemError(const SystemErrorInfo &info)
{
    // One report is enough: whatever fails while the program winds down is not shown again.
    if (m_systemError)
        return;
    m_systemError = true;
    const QString details = systemErrorText(info);
    platform::services().clipboard->setText(details);
    platform::messageBox(QStringLiteral("002"), systemErrorMessage(details), platform::Icon::Stop);
    exit(ExitSystemError);
}

SystemErrorInfo describeFailure(QObject *receiver, const QEvent *event, const std::exception *error)
{
    SystemErrorInfo info;
    QWidget *widget = qobject_cast<QWidget *>(receiver);
    QWidget *window = widget ? widget->window() : nullptr;
    info.window = window ? window->objectName() : QStringLiteral("mivo");
    if (const auto *mine = dynamic_cast<const MivoError *>(error)) {
        if (!mine->window().isEmpty())
            info.window = mine->window();
        info.object = mine->objectName();
        info.event = mine->event();
        info.line = mine->line();
        info.description = mine->description();
        return info;
    }
    info.object = receiver ? receiver->objectName() : QString();
    if (info.object.isEmpty() && receiver)
        info.object = QString::fromLatin1(receiver->metaObject()->className());
    if (event)
        info.event = QString::fromLatin1(QMetaEnum::fromType<QEvent::Type>().valueToKey(event->type()));
    info.description = error ? QString::fromLocal8Bit(error->what()) : QStringLiteral("未知错误");
    return info;
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        reportSystemError(describeFailure(receiver, event, &e));
    } catch (...) {
        reportSystemError(describeFailure(receiver, event, nullptr));
    }
    return false;
}
