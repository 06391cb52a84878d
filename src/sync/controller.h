#pragma once
// What the rest of the program syncs through: one object on the window's thread that finds the
// user's address books, runs a sync in the background and says how it went. The network and the
// cards are worked on by a thread of its own; every write to the database runs on the window's
// thread between two events, one short transaction at a time, so the window stays usable.
//
//   SyncController sync(db);
//   sync.setBusyNames([page] { return page->namesWithUnsavedEdits(); });
//   connect(&sync, &SyncController::finished, …);   // Outcome: failure in words, counts, report
//   sync.start({server, book, user, QString()});      // the password from the keyring

#include "sync/discovery.h"
#include "sync/outcome.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <functional>

class QThread;
class Connection;

namespace contactsync {

class LocalBook;

struct Account
{
    QUrl server;        // as the user typed it: where address books are looked for
    QUrl book;          // the address book chosen among those found
    QString user;
    QString password;   // empty: the one the keyring keeps for this server and user
};

class SyncController : public QObject
{
    Q_OBJECT
public:
    explicit SyncController(Connection &db, QObject *parent = nullptr);
    // Cancels what runs and waits for it (briefly: a cancel aborts the network at once).
    ~SyncController() override;

    // The names of contacts a sync must leave alone (a card with unsaved edits); asked on the
    // window's thread before every write. Such a contact is synced by a later sync.
    void setBusyNames(std::function<QStringList()> names);

    // False, doing nothing, while a sync or a search runs.
    bool findAddressBooks(const Account &account);   // then addressBooksFound
    bool start(const Account &account);              // then started, progress …, finished
    void cancel();
    bool isRunning() const { return m_running; }
    // The last sync's outcome; its finishedAt is invalid before the first.
    const Outcome &lastOutcome() const { return m_last; }

    // The password kept for the account in the keyring (or for the run, without one).
    static QString passwordKey(const Account &account);
    static void rememberPassword(const Account &account);
    static void forgetPassword(const Account &account);

signals:
    void started();
    // Step in words ("正在下载联系人"), and how far; total 0 where unknown.
    void progress(const QString &step, qint64 done, qint64 total);
    void finished(const contactsync::Outcome &outcome);
    void addressBooksFound(const QList<contactsync::AddressBook> &books, const contactsync::Outcome &outcome);

private:
    // `go` with the password, from the keyring where the account has none; else `missing`.
    void withPassword(const Account &account, const std::function<void(const Account &)> &go,
                      const std::function<void()> &missing);
    void runInBackground(const std::function<void()> &work, const std::function<void()> &then);
    void finish(Outcome outcome);

    std::unique_ptr<LocalBook> m_book;
    std::function<QStringList()> m_busyNames;
    std::atomic_bool m_cancel{false};
    bool m_running = false;
    QThread *m_thread = nullptr;
    Outcome m_last;
};

} // namespace contactsync
