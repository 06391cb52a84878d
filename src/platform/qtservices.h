#pragma once
// Implementations over Qt that serve every platform; the platform-specific ones live in linux/ and
// windows/.

#include "platform/services.h"

#include <QMutex>
#include <QTimer>
#include <memory>

class QSystemTrayIcon;

namespace platform {

class QtMessageBoxes : public MessageBoxes
{
public:
    Answer show(const MessageBoxRequest &request) override;
};

class QtFileDialogs : public FileDialogs
{
public:
    QString saveFile(const SaveFileRequest &request, QString *selectedFilter = nullptr) override;
    QString chooseFolder(const QString &title, const QString &startFolder) override;
    QString openFile(const OpenFileRequest &request) override;
};

class QtPasswordPrompt : public PasswordPrompt
{
public:
    QString ask(const QString &title, const QString &text) override;
};

class QtClipboard : public Clipboard
{
public:
    void setText(const QString &text) override;
    QString text() const override;
};

// An application-wide event filter restarts a single-shot timer on every key and mouse event.
class QtIdleCountdown : public IdleCountdown
{
public:
    QtIdleCountdown();
    void arm(int seconds) override;
    int seconds() const override { return m_seconds; }
    // Milliseconds per armed second; tests shorten it.
    void setSecondLength(int ms) { m_secondMs = ms; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTimer m_timer;
    int m_seconds = 0;
    int m_secondMs = 1000;
    bool m_filtering = false;
};

// The program's printer: the system's default until the user chooses another, with the set-up the
// user gave it, for the whole run. The toolkit's print support is a module (printmodule.h), loaded
// by the first question, from whichever thread asks it.
class QtPrinters : public Printers
{
public:
    QtPrinters();
    ~QtPrinters() override;
    QString description() const override;
    bool setup(QWidget *parent) override;
    bool choose(QWidget *parent) override;

private:
    Printers *loaded(QString *reason) const;   // nullptr with the reason when the module is missing
    mutable QMutex m_loading;
    mutable std::unique_ptr<Printers> m_printers;
};

class QtRestarter : public Restarter
{
public:
    bool restart(const QStringList &arguments) override;
};

class QtTrayIcon : public TrayIcon
{
public:
    explicit QtTrayIcon(QObject *parent);
    bool add(const QString &iconFile, const QString &tip) override;
    void remove() override;
    bool isShown() const override;

private:
    QSystemTrayIcon *m_icon;
};

class QtTray : public Tray
{
public:
    bool available() const override;
    TrayIcon *createIcon(QObject *parent) override;
};

} // namespace platform
