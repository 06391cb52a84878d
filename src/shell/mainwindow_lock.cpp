// The lock of MainWindow: set-up while opening, the lock item, the idle period, and the hotkey.

#include "shell/mainwindow.h"

#include "app/application.h"
#include "app/generaloptions.h"
#include "app/settingkeys.h"
#include "app/settingsfile.h"
#include "platform/dialoglock.h"
#include "platform/messagebox.h"
#include "platform/services.h"
#include "shell/helpbrowser.h"
#include "shell/lockhotkey.h"
#include "shell/navigationlist.h"
#include "pagekit/page.h"

#include <QKeyEvent>
#include <QLabel>

namespace {

// The countdown runs in milliseconds held in an int: longer periods cannot be armed.
constexpr qint64 kLongestIdleMinutes = std::numeric_limits<int>::max() / 1000 / 60;

} // namespace

void MainWindow::setUpLock()
{
    // The handler stays for the whole run: the settings page may arm the countdown later.
    if (auto *app = qobject_cast<Application *>(QCoreApplication::instance()))
        app->setIdleHandler([this] { lockNow(); });

    // Whether the hotkey is usable is decided once, at start: switching the lock on later in the
    // run arms the countdown and the hotkey at once, but the lock item waits for the next start.
    const GeneralOptions options = GeneralOptions::load();
    m_hotkeyUsable = options.lockEnabled;
    if (!options.lockSwitchedOn)
        return;
    if (!m_hotkeyUsable) {
        platform::messageBox(QStringLiteral("011"),
                             QStringLiteral("快捷键提取失败!锁定功能已被系统关闭,请到<配置|常规>重设!"),
                             platform::Icon::Exclamation);
        return;
    }
    bool ok = false;
    qint64 minutes = options.lockMinutes.trimmed().toLongLong(&ok);
    if (!ok || minutes < 0)
        minutes = 0;
    minutes = std::min(minutes, kLongestIdleMinutes);
    platform::services().idle->arm(int(minutes * 60));

    if (options.lockAtStart)
        navigation->choose(Lock);
}

void MainWindow::lock()
{
    if (!GeneralOptions::load().lockSwitchedOn || !m_hotkeyUsable) {
        platform::messageBox(QStringLiteral("010"), QStringLiteral("锁定功能未启用!\n如要启用请到<配置|常规>设置"),
                             platform::Icon::Exclamation);
        return;
    }
    lockNow();
    // Further keys reach the window's key handler, which unlocks.
    contentArea->setFocus();
}

// What the lock hides: the pages and the help.
QList<QWidget *> MainWindow::lockedControls() const
{
    QList<QWidget *> controls;
    for (pagekit::Page *page : pages())
        controls << page;
    return controls << helpBrowser;
}

void MainWindow::lockNow()
{
    // A box or dialog open now is answered No or Cancel: it returns once this handler is done, and
    // what it was asked for ends there, since no question or dialog shows while locked. Locking
    // again while locked leaves alone a notice shown since (a failure at exit).
    if (!m_dialogLock)
        m_dialogLock = std::make_unique<platform::DialogLock>();
    showPages(QStringLiteral("00000##0"));
    // Hidden is not enough: a screen reader still reaches the buttons of a hidden page.
    for (QWidget *control : lockedControls())
        control->setEnabled(false);
    for (pagekit::Page *page : pages())
        page->setLocked(true);
    navigation->setEnabled(false);
    navigation->setHideSelection(true);
}

bool MainWindow::isLocked() const
{
    return !navigation->isEnabled();
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (lockHotkeyMatches(readSetting(settingkeys::lockHotkey), event->key(), event->modifiers())) {
        // No page comes back: the user chooses one from the list.
        const bool wasLocked = isLocked();
        navigation->setHideSelection(false);
        navigation->setEnabled(true);
        if (wasLocked) {
            m_dialogLock.reset();
            for (QWidget *control : lockedControls())
                control->setEnabled(true);
            for (pagekit::Page *page : pages())
                page->setLocked(false);
        }
    }
    QWidget::keyPressEvent(event);
}
