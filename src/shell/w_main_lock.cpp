// The lock of w_main: set-up while opening, the lock item, the idle period, and the hotkey.

#include "shell/w_main.h"

#include "app/application.h"
#include "app/globals.h"
#include "app/profile.h"
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

bool lockEnabled(const QString &ls_shortcut)
{
    return ls_shortcut.startsWith(QLatin1Char('1'));
}

} // namespace

void w_main::lockSetup()
{
    // The handler stays for the whole run: the settings page may arm the countdown later.
    if (auto *app = qobject_cast<Application *>(QCoreApplication::instance()))
        app->setIdleHandler([this] { lockNow(); });

    if (!lockEnabled(f_profile(QStringLiteral("lockShortcut"))))
        return;
    if (!gb_shortcut_get) {
        platform::messageBox(QStringLiteral("011"),
                             QStringLiteral("快捷键提取失败!锁定功能已被系统关闭,请到<配置|常规>重设!"),
                             platform::Icon::Exclamation);
        return;
    }
    bool ok = false;
    qint64 ll_idle = f_profile(QStringLiteral("locktime")).trimmed().toLongLong(&ok);
    if (!ok || ll_idle < 0)
        ll_idle = 0;
    ll_idle = std::min(ll_idle, kLongestIdleMinutes);
    platform::services().idle->arm(int(ll_idle * 60));

    if (f_profile(QStringLiteral("Lockstart")) == QLatin1String("1"))
        lv_1->choose(Lock);
}

void w_main::lock()
{
    if (!lockEnabled(f_profile(QStringLiteral("lockshortCut"))) || !gb_shortcut_get) {
        platform::messageBox(QStringLiteral("010"), QStringLiteral("锁定功能未启用!\n如要启用请到<配置|常规>设置"),
                             platform::Icon::Exclamation);
        return;
    }
    lockNow();
    // Further keys reach the window's key handler, which unlocks.
    st_1->setFocus();
}

// What the lock hides: the pages and the help.
QList<QWidget *> w_main::lockedControls() const
{
    QList<QWidget *> controls;
    for (pagekit::Page *page : pages())
        controls << page;
    return controls << ole_ie;
}

void w_main::lockNow()
{
    // A box or dialog open now is answered No or Cancel: it returns once this handler is done, and
    // what it was asked for ends there, since no question or dialog shows while locked. Locking
    // again while locked leaves alone a notice shown since (a failure at exit).
    if (!m_dialogLock)
        m_dialogLock = std::make_unique<platform::DialogLock>();
    of_hide(QStringLiteral("00000##0"));
    // Hidden is not enough: a screen reader still reaches the buttons of a hidden page.
    for (QWidget *control : lockedControls())
        control->setEnabled(false);
    for (pagekit::Page *page : pages())
        page->of_lock(true);
    lv_1->setEnabled(false);
    lv_1->setHideSelection(true);
}

bool w_main::isLocked() const
{
    return !lv_1->isEnabled();
}

void w_main::keyPressEvent(QKeyEvent *event)
{
    if (lockHotkeyMatches(f_profile(QStringLiteral("lockshortCut")), event->key(), event->modifiers())) {
        // No page comes back: the user chooses one from the list.
        const bool wasLocked = isLocked();
        lv_1->setHideSelection(false);
        lv_1->setEnabled(true);
        if (wasLocked) {
            m_dialogLock.reset();
            for (QWidget *control : lockedControls())
                control->setEnabled(true);
            for (pagekit::Page *page : pages())
                page->of_lock(false);
        }
    }
    QWidget::keyPressEvent(event);
}
