#pragma once
// Fakes of the platform seams: they record what the program asked for and answer as scripted. As
// the real ones, they keep their dialogs shut while the program is locked and record nothing then.

#include "platform/services.h"

#include <QList>
#include <QMap>
#include <QPoint>
#include <QSemaphore>
#include <QStringList>
#include <functional>
#include <memory>

namespace fake {

class MessageBoxes : public platform::MessageBoxes
{
public:
    platform::Answer show(const platform::MessageBoxRequest &request) override;

    QList<platform::MessageBoxRequest> shown;
    // Answers given in turn; when none is left, a box is answered with its default button. A box the
    // lock closes (in onShow) gets its cancelling answer, its scripted one used up.
    QList<platform::Answer> answers;
    // Runs while a box is "open", e.g. to look at the window behind it.
    std::function<void(const platform::MessageBoxRequest &)> onShow;

    QStringList titles() const;
};

class FileDialogs : public platform::FileDialogs
{
public:
    QString saveFile(const platform::SaveFileRequest &request, QString *selectedFilter = nullptr) override;
    QString chooseFolder(const QString &title, const QString &startFolder) override;
    QString openFile(const platform::OpenFileRequest &request) override;

    QList<platform::SaveFileRequest> saveRequests;
    QList<platform::OpenFileRequest> openRequests;
    QString openPath;    // the file "the user" chooses to open; empty = cancel
    QStringList folderTitles;
    QString savePath;    // what "the user" chooses; empty = cancel
    QString saveFilter;  // the filter "the user" leaves chosen
    QString folderPath;
};

class Clipboard : public platform::Clipboard
{
public:
    void setText(const QString &t) override { content = t; }
    QString text() const override { return content; }
    QString content;
};

// Keeps each entry as the program and its arguments; the command line joins them as typed.
class Autostart : public platform::Autostart
{
public:
    bool enable(const QString &name, const QString &program, const QStringList &arguments) override;
    QString command(const QString &name) const override;
    bool disable(const QString &name) override;
    QMap<QString, QStringList> entries;   // name -> program, arguments...
    bool failWrites = false;
};

class IdleCountdown : public platform::IdleCountdown
{
public:
    void arm(int seconds) override { armed = seconds; ++armCount; }
    int seconds() const override { return armed; }
    void fire() { emit elapsed(); }
    int armed = 0;
    int armCount = 0;
};

class Printers : public platform::Printers
{
public:
    // With a gate, waits until the test releases it: a print server that answers late.
    QString description() const override;
    bool setup(QWidget *) override;
    bool choose(QWidget *) override;
    QString current = QStringLiteral("Fake Printer\tFake Driver\tFAKE:");
    QSemaphore *gate = nullptr;
    bool answer = true;
    int setups = 0;
    int choices = 0;
};

class Restarter : public platform::Restarter
{
public:
    bool restart(const QStringList &arguments) override { restarts << arguments; return starts; }
    QList<QStringList> restarts;
    bool starts = true;
};

class TrayIcon : public platform::TrayIcon
{
public:
    using platform::TrayIcon::TrayIcon;
    bool add(const QString &iconFile, const QString &tip) override;
    void remove() override { shown = false; ++removals; }
    bool isShown() const override { return shown; }
    void clickLeft() { emit leftClicked(); }
    void clickRight(QPoint at = QPoint(10, 10)) { emit rightClicked(at); }

    QString iconFile;
    QString tip;
    bool shown = false;
    int additions = 0;
    int removals = 0;
};

class Tray : public platform::Tray
{
public:
    bool available() const override { return hasTray; }
    platform::TrayIcon *createIcon(QObject *parent) override;
    bool hasTray = true;
    QList<TrayIcon *> icons; // owned by their parents
};

// A clock that stands still until a test moves it.
class Clock : public platform::Clock
{
public:
    QDateTime now() const override { return current; }
    QDateTime current = QDateTime(QDate(2009, 2, 14), QTime(10, 30));
};

// A keyring that keeps its secrets in `secrets`, persistent or not as told; `fails` refuses every call.
class Keyring : public platform::Keyring
{
public:
    bool persistent() const override { return keeps; }
    void read(const QString &key, ReadDone done) override;
    void write(const QString &key, const QString &secret, Done done) override;
    void remove(const QString &key, Done done) override;
    QMap<QString, QString> secrets;
    bool keeps = true;
    bool fails = false;
};

// Answers a password question with `answer` (empty: the user cancels) and records its text.
class PasswordPrompt : public platform::PasswordPrompt
{
public:
    QString ask(const QString &title, const QString &text) override;
    QString answer;
    QStringList asked;
};

// Every seam faked for the lifetime of the object.
class Platform
{
public:
    Platform();
    ~Platform();

    MessageBoxes *boxes;
    FileDialogs *dialogs;
    Clipboard *clipboard;
    Autostart *autostart;
    IdleCountdown *idle;
    Printers *printers;
    Restarter *restarter;
    Tray *tray;
    Clock *clock;
    Keyring *keyring;
    PasswordPrompt *passwordPrompt;

private:
    std::unique_ptr<platform::ServicesOverride> m_override;
};

} // namespace fake
