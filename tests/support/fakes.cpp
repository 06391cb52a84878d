#include "fakes.h"

#include "platform/dialoglock.h"

#include <QImageReader>
#include <optional>

namespace fake {

platform::Answer MessageBoxes::show(const platform::MessageBoxRequest &request)
{
    shown << request;
    // Open while onShow runs: a lock meanwhile closes it, and what was scripted for it is not clicked.
    const platform::OpenDialog open;
    if (onShow)
        onShow(request);
    const std::optional<platform::Answer> scripted =
        answers.isEmpty() ? std::nullopt : std::optional<platform::Answer>(answers.takeFirst());
    if (open.closedByLock())
        return platform::cancelAnswer(request.buttons);
    if (scripted)
        return *scripted;
    using platform::Answer;
    using platform::Buttons;
    const int d = request.defaultButton;
    switch (request.buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return d == 2 ? Answer::Cancel : Answer::Ok;
    case Buttons::YesNo: return d == 2 ? Answer::No : Answer::Yes;
    case Buttons::YesNoCancel: return d == 2 ? Answer::No : d == 3 ? Answer::Cancel : Answer::Yes;
    case Buttons::RetryCancel: return d == 2 ? Answer::Cancel : Answer::Retry;
    }
    return Answer::Ok;
}

QStringList MessageBoxes::titles() const
{
    QStringList t;
    for (const auto &b : shown)
        t << b.title;
    return t;
}

QString FileDialogs::saveFile(const platform::SaveFileRequest &request, QString *selectedFilter)
{
    if (platform::dialogsLocked())
        return {};
    saveRequests << request;
    if (selectedFilter)
        *selectedFilter = saveFilter;
    return savePath;
}

QString FileDialogs::chooseFolder(const QString &title, const QString &)
{
    if (platform::dialogsLocked())
        return {};
    folderTitles << title;
    return folderPath;
}

QString FileDialogs::openFile(const platform::OpenFileRequest &request)
{
    if (platform::dialogsLocked())
        return {};
    openRequests << request;
    return openPath;
}

QString Printers::description() const
{
    if (gate) {
        // Let every later read through as well.
        gate->acquire();
        gate->release();
    }
    return current;
}

bool Printers::setup(QWidget *)
{
    if (platform::dialogsLocked())
        return false;
    ++setups;
    return answer;
}

bool Printers::choose(QWidget *)
{
    if (platform::dialogsLocked())
        return false;
    ++choices;
    return answer;
}

bool Autostart::enable(const QString &name, const QString &program, const QStringList &arguments)
{
    if (failWrites)
        return false;
    entries.insert(name, QStringList{program} + arguments);
    return true;
}

QString Autostart::command(const QString &name) const
{
    return entries.value(name).join(QLatin1Char(' '));
}

bool Autostart::disable(const QString &name)
{
    if (failWrites)
        return false;
    entries.remove(name);
    return true;
}

bool TrayIcon::add(const QString &file, const QString &t)
{
    iconFile = file;
    tip = t;
    shown = true;
    ++additions;
    // As the real one: the entry is added whether or not the image loads.
    return QImageReader(file).canRead();
}

platform::TrayIcon *Tray::createIcon(QObject *parent)
{
    auto *icon = new TrayIcon(parent);
    icons << icon;
    return icon;
}

void Keyring::read(const QString &key, ReadDone done)
{
    if (fails)
        return done(Status::Failed, QString());
    done(secrets.contains(key) ? Status::Ok : Status::NotFound, secrets.value(key));
}

void Keyring::write(const QString &key, const QString &secret, Done done)
{
    if (!fails)
        secrets.insert(key, secret);
    done(fails ? Status::Failed : Status::Ok);
}

void Keyring::remove(const QString &key, Done done)
{
    if (!fails)
        secrets.remove(key);
    done(fails ? Status::Failed : Status::Ok);
}

QString PasswordPrompt::ask(const QString &title, const QString &text)
{
    // As the real one: no question while the program is locked.
    if (platform::dialogsLocked())
        return {};
    asked << title + QLatin1Char('|') + text;
    return answer;
}

Platform::Platform()
{
    platform::Services s;
    s.messageBoxes = std::make_unique<MessageBoxes>();
    s.fileDialogs = std::make_unique<FileDialogs>();
    s.clipboard = std::make_unique<Clipboard>();
    s.autostart = std::make_unique<Autostart>();
    s.idle = std::make_unique<IdleCountdown>();
    s.printers = std::make_unique<Printers>();
    s.restarter = std::make_unique<Restarter>();
    s.tray = std::make_unique<Tray>();
    s.clock = std::make_unique<Clock>();
    s.keyring = std::make_unique<Keyring>();
    s.passwordPrompt = std::make_unique<PasswordPrompt>();
    boxes = static_cast<MessageBoxes *>(s.messageBoxes.get());
    dialogs = static_cast<FileDialogs *>(s.fileDialogs.get());
    clipboard = static_cast<Clipboard *>(s.clipboard.get());
    autostart = static_cast<Autostart *>(s.autostart.get());
    idle = static_cast<IdleCountdown *>(s.idle.get());
    printers = static_cast<Printers *>(s.printers.get());
    restarter = static_cast<Restarter *>(s.restarter.get());
    tray = static_cast<Tray *>(s.tray.get());
    clock = static_cast<Clock *>(s.clock.get());
    keyring = static_cast<Keyring *>(s.keyring.get());
    passwordPrompt = static_cast<PasswordPrompt *>(s.passwordPrompt.get());
    m_override = std::make_unique<platform::ServicesOverride>(std::move(s));
}

Platform::~Platform() = default;

} // namespace fake
