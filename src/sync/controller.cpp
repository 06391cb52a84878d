#include "sync/controller.h"

#include "sync/engine.h"
#include "sync/localbook.h"
#include "sync/windowgate.h"

#include "platform/services.h"

#include <QPointer>
#include <QThread>

namespace contactsync {

namespace {

// The database as the engine reaches it: on the window's thread, through the gate.
class GatedBook : public LocalAccess
{
public:
    GatedBook(QObject *window, LocalBook &book, std::function<QStringList()> busy, const std::atomic_bool &cancel)
        : m_gate(window, [&book] { return book.idle(); })
        , m_book(book)
        , m_busy(std::move(busy))
        , m_cancel(cancel)
    {
    }

    Problem read(LocalSnapshot *out) override
    {
        Problem p{Failure::Cancelled, {}};
        m_gate.run([&] {
            p = m_book.prepare();
            if (!p)
                p = m_book.read(out, busyNames());
        }, m_cancel);
        return p;
    }

    Problem write(QList<LocalWrite> &writes) override
    {
        Problem p{Failure::Cancelled, {}};
        m_gate.run([&] { p = m_book.write(writes, busyNames()); }, m_cancel);
        return p;
    }

private:
    QStringList busyNames() const { return m_busy ? m_busy() : QStringList(); }

    WindowGate m_gate;
    LocalBook &m_book;
    std::function<QStringList()> m_busy;
    const std::atomic_bool &m_cancel;
};

} // namespace

SyncController::SyncController(Connection &db, QObject *parent)
    : QObject(parent)
    , m_book(std::make_unique<LocalBook>(db))
{
    qRegisterMetaType<contactsync::Outcome>();
}

SyncController::~SyncController()
{
    m_cancel = true;
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void SyncController::setBusyNames(std::function<QStringList()> names)
{
    m_busyNames = std::move(names);
}

QString SyncController::passwordKey(const Account &account)
{
    return QStringLiteral("carddav:%1@%2").arg(account.user, account.server.adjusted(QUrl::RemoveUserInfo).toString());
}

void SyncController::rememberPassword(const Account &account)
{
    platform::services().keyring->write(passwordKey(account), account.password, [](platform::Keyring::Status) {});
}

void SyncController::forgetPassword(const Account &account)
{
    platform::services().keyring->remove(passwordKey(account), [](platform::Keyring::Status) {});
}

void SyncController::cancel()
{
    if (m_running)
        m_cancel = true;
}

void SyncController::runInBackground(const std::function<void()> &work, const std::function<void()> &then)
{
    m_thread = QThread::create(work);
    connect(m_thread, &QThread::finished, this, [this, then] {
        m_thread->deleteLater();
        m_thread = nullptr;
        m_running = false;
        then();
    });
    m_thread->start();
}

void SyncController::withPassword(const Account &account, const std::function<void(const Account &)> &go,
                                  const std::function<void()> &missing)
{
    if (!account.password.isEmpty())
        return go(account);
    QPointer<SyncController> self(this);
    platform::services().keyring->read(passwordKey(account), [self, account, go, missing](platform::Keyring::Status status, const QString &secret) {
        if (!self)
            return;
        if (status != platform::Keyring::Status::Ok || secret.isEmpty()) {
            // Said after the call returns, as every outcome is.
            QMetaObject::invokeMethod(self, [self, missing] {
                if (!self)
                    return;
                self->m_running = false;
                missing();
            }, Qt::QueuedConnection);
            return;
        }
        Account withSecret = account;
        withSecret.password = secret;
        go(withSecret);
    });
}

bool SyncController::start(const Account &account)
{
    if (m_running)
        return false;
    m_running = true;
    m_cancel = false;
    emit started();
    withPassword(account, [this](const Account &a) {
        auto outcome = std::make_shared<Outcome>();
        SyncJob job{a.book, a.user, a.password, platform::services().clock->today()};
        QPointer<SyncController> self(this);
        auto report = [self](const QString &step, qint64 done, qint64 total) {
            QMetaObject::invokeMethod(self, [self, step, done, total] {
                if (self)
                    emit self->progress(step, done, total);
            }, Qt::QueuedConnection);
        };
        runInBackground(
            [this, job, outcome, report, busy = m_busyNames] {
                GatedBook book(this, *m_book, busy, m_cancel);
                SyncEngine engine(job, book, m_cancel, report);
                *outcome = engine.run();
            },
            [this, outcome] { finish(*outcome); });
    }, [this] {
        Outcome missing;
        missing.failure = Failure::PasswordMissing;
        finish(missing);
    });
    return true;
}

bool SyncController::findAddressBooks(const Account &account)
{
    if (m_running)
        return false;
    m_running = true;
    m_cancel = false;
    auto found = std::make_shared<Discovery>();
    auto emitFound = [this, found] {
        Outcome o;
        o.failure = found->problem.failure;
        o.detail = found->problem.detail;
        o.finishedAt = platform::services().clock->now();
        emit addressBooksFound(found->books, o);
    };
    withPassword(account, [this, found, emitFound](const Account &a) {
        runInBackground([this, a, found] { *found = discoverAddressBooks(a.server, a.user, a.password, m_cancel); }, emitFound);
    }, [found, emitFound] {
        found->problem = {Failure::PasswordMissing, {}};
        emitFound();
    });
    return true;
}

void SyncController::finish(Outcome outcome)
{
    outcome.finishedAt = platform::services().clock->now();
    m_last = outcome;
    emit finished(m_last);
}

} // namespace contactsync
