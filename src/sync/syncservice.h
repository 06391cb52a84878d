#pragma once
// The address book's sync as the user has set it up in client.ini: the account, the automatic
// syncs (every few minutes, at start, at exit), the password asked for where the keyring has none,
// and the last outcome remembered for the next run. One lives for the whole run; the settings tab,
// the address book's menu and the main window all go through it.

#include "sync/controller.h"

#include <QObject>
#include <QTimer>

namespace contactsync {

class SyncService : public QObject
{
    Q_OBJECT
public:
    // Who asked: the user is told the outcome in a box; an automatic sync only on the settings tab.
    enum class Trigger { User, Timer, Start, Exit };

    explicit SyncService(Connection &db, QObject *parent = nullptr);

    SyncController &controller() { return m_controller; }
    void setBusyNames(std::function<QStringList()> names) { m_controller.setBusyNames(std::move(names)); }

    // Server, user and address book as client.ini holds them; the password is left to the keyring.
    static Account storedAccount();
    static bool isSetUp(const Account &account);
    // The box for a sync asked for before server, user and address book are set ("041").
    static void sayNotSetUp();

    // Finds the address books of `account` (a typed password, or the keyring's); then
    // addressBooksFound. A failure is said in a box; a password that worked is kept.
    bool findAddressBooks(const Account &account);
    // Syncs the stored address book; `password`, where typed, is used and kept once it worked.
    // False when one already runs or (for the user, with a box) nothing is set up.
    bool syncNow(Trigger trigger = Trigger::User, const QString &password = QString());

    // Reads the automatic sync's settings afresh and sets the timer by them.
    void applySchedule();
    bool autoSyncArmed() const { return m_timer.isActive(); }
    int autoSyncMinutes() const { return m_timer.interval() / 60000; }
    // After the first frame: a sync when it is ticked.
    void atStart();
    // The program ends: lets a running sync finish, then syncs when it is ticked; waits at most
    // `timeoutMs`, then cancels (the next sync completes what was cut off).
    void atExit(int timeoutMs = 60000);

    // The last sync in words ("上次同步:… 同步完成。…"), from this run or an earlier one.
    static QString lastSyncText();
    // An outcome in one line: the failure, or what moved each way.
    static QString summary(const Outcome &outcome);

signals:
    void started();
    // The step and how far, in words ("正在下载联系人 200/1000").
    void progress(const QString &words);
    void finished(const contactsync::Outcome &outcome);
    // Empty with the failure (said in a box already) where none were found.
    void addressBooksFound(const QList<contactsync::AddressBook> &books, const contactsync::Outcome &outcome);

private:
    void onFinished(const Outcome &outcome);
    void onBooksFound(const QList<AddressBook> &books, const Outcome &outcome);
    // The password asked for; empty when the user cancelled, or for an automatic sync after a
    // cancel earlier in this run (it would ask again every few minutes).
    QString askPassword(const Account &account);
    // Where the keyring had no password: asks for it and runs `again` with it.
    bool retriedWithAskedPassword(const Outcome &outcome, bool (SyncController::*again)(const Account &));
    bool waitUntilIdle(int timeoutMs);

    SyncController m_controller;
    QTimer m_timer;
    Trigger m_trigger = Trigger::User;
    Account m_account;          // of what runs
    bool m_prompted = false;    // the password of what runs was asked for
    bool m_typed = false;       // the password of what runs was typed on the tab
    bool m_askDeclined = false;
};

// The box of a failure: its code and text ("035" … "039"); `headline` opens the text.
void showFailure(const Outcome &outcome, const QString &headline);

} // namespace contactsync
