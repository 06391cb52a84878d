#include "sync/syncservice.h"

#include "app/settingkeys.h"
#include "app/settingsfile.h"
#include "platform/services.h"

#include <QElapsedTimer>
#include <QEventLoop>

namespace contactsync {

namespace {

constexpr int DefaultMinutes = 30;
constexpr int ReportLines = 20;   // of a box; a first sync may name hundreds of contacts

bool ticked(const QString &key)
{
    return readSetting(key) == QLatin1String("1");
}

QString failureCode(Failure failure)
{
    switch (failure) {
    case Failure::WrongPassword: return QStringLiteral("035");
    case Failure::Unreachable: return QStringLiteral("036");
    case Failure::CertificateRefused: return QStringLiteral("037");
    case Failure::NotAddressBook: return QStringLiteral("038");
    default: return QStringLiteral("039");
    }
}

void showSuccess(const Outcome &outcome)
{
    QStringList lines{QStringLiteral("同步完成!"), SyncService::summary(outcome)};
    lines += outcome.report.mid(0, ReportLines);
    if (outcome.report.size() > ReportLines)
        lines << QStringLiteral("……另有 %1 条").arg(outcome.report.size() - ReportLines);
    platform::messageBox(QStringLiteral("040"), lines.join(QLatin1Char('\n')));
}

} // namespace

void showFailure(const Outcome &outcome, const QString &headline)
{
    platform::messageBox(failureCode(outcome.failure), headline + QLatin1Char('\n') + outcome.message(), platform::Icon::Stop);
}

SyncService::SyncService(Connection &db, QObject *parent)
    : QObject(parent)
    , m_controller(db)
{
    connect(&m_controller, &SyncController::started, this, &SyncService::started);
    connect(&m_controller, &SyncController::progress, this, [this](const QString &step, qint64 done, qint64 total) {
        emit progress(total > 0 ? QStringLiteral("%1 %2/%3").arg(step).arg(done).arg(total) : step);
    });
    connect(&m_controller, &SyncController::finished, this, &SyncService::onFinished);
    connect(&m_controller, &SyncController::addressBooksFound, this, &SyncService::onBooksFound);
    connect(&m_timer, &QTimer::timeout, this, [this] { syncNow(Trigger::Timer); });
}

Account SyncService::storedAccount()
{
    Account a;
    a.server = QUrl::fromUserInput(readSetting(settingkeys::syncServer).trimmed());
    a.user = readSetting(settingkeys::syncUser);
    a.book = QUrl(readSetting(settingkeys::syncBook));
    return a;
}

bool SyncService::isSetUp(const Account &account)
{
    return account.server.isValid() && !account.user.isEmpty() && account.book.isValid() && !account.book.isEmpty();
}

void SyncService::sayNotSetUp()
{
    platform::messageBox(QStringLiteral("041"), QStringLiteral("请先填写服务器地址和用户名,点“连接”并选择通讯簿!"),
                         platform::Icon::Exclamation);
}

bool SyncService::findAddressBooks(const Account &account)
{
    if (m_controller.isRunning())
        return false;
    m_trigger = Trigger::User;
    m_account = account;
    m_typed = !account.password.isEmpty();
    m_prompted = false;
    return m_controller.findAddressBooks(account);
}

bool SyncService::syncNow(Trigger trigger, const QString &password)
{
    if (m_controller.isRunning())
        return false;
    Account account = storedAccount();
    if (!isSetUp(account)) {
        if (trigger == Trigger::User)
            sayNotSetUp();
        return false;
    }
    account.password = password;
    m_trigger = trigger;
    m_account = account;
    m_typed = !password.isEmpty();
    m_prompted = false;
    return m_controller.start(account);
}

QString SyncService::askPassword(const Account &account)
{
    // At exit the window is gone; an automatic sync does not ask again once the user said no.
    if (m_trigger == Trigger::Exit || (m_trigger != Trigger::User && m_askDeclined))
        return {};
    const QString answer = platform::services().passwordPrompt->ask(
        QStringLiteral("同步"), QStringLiteral("请输入 %1 在同步服务器上的密码:").arg(account.user));
    m_askDeclined = answer.isEmpty();
    return answer;
}

bool SyncService::retriedWithAskedPassword(const Outcome &outcome, bool (SyncController::*again)(const Account &))
{
    if (outcome.failure != Failure::PasswordMissing || m_prompted)
        return false;
    const QString password = askPassword(m_account);
    if (password.isEmpty())
        return false;
    m_prompted = true;
    m_account.password = password;
    return (m_controller.*again)(m_account);
}

void SyncService::onFinished(const Outcome &outcome)
{
    if (retriedWithAskedPassword(outcome, &SyncController::start))
        return;
    // A password the server did not refuse is kept: in the keyring, or for this run without one,
    // so it is asked once a run at most.
    if ((m_typed || m_prompted) && outcome.failure != Failure::WrongPassword && outcome.failure != Failure::PasswordMissing)
        SyncController::rememberPassword(m_account);
    writeSetting(settingkeys::syncLastTime, outcome.finishedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    writeSetting(settingkeys::syncLastResult, summary(outcome));
    if (m_trigger == Trigger::User) {
        if (outcome.ok())
            showSuccess(outcome);
        else if (outcome.failure != Failure::Cancelled && outcome.failure != Failure::PasswordMissing)
            showFailure(outcome, QStringLiteral("同步失败!"));
    }
    emit finished(outcome);
}

void SyncService::onBooksFound(const QList<AddressBook> &books, const Outcome &outcome)
{
    if (retriedWithAskedPassword(outcome, &SyncController::findAddressBooks))
        return;
    if (outcome.ok() && (m_typed || m_prompted))
        SyncController::rememberPassword(m_account);
    if (!outcome.ok() && outcome.failure != Failure::Cancelled && outcome.failure != Failure::PasswordMissing)
        showFailure(outcome, QStringLiteral("连接失败!"));
    emit addressBooksFound(books, outcome);
}

void SyncService::applySchedule()
{
    bool ok = false;
    const int minutes = readSetting(settingkeys::syncMinutes).toInt(&ok);
    if (ticked(settingkeys::syncAuto))
        m_timer.start((ok && minutes >= 1 ? minutes : DefaultMinutes) * 60000);
    else
        m_timer.stop();
}

void SyncService::atStart()
{
    applySchedule();
    if (ticked(settingkeys::syncAtStart))
        syncNow(Trigger::Start);
}

bool SyncService::waitUntilIdle(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (m_controller.isRunning() && clock.elapsed() < timeoutMs) {
        QEventLoop loop;
        connect(this, &SyncService::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return !m_controller.isRunning();
}

void SyncService::atExit(int timeoutMs)
{
    m_timer.stop();
    QElapsedTimer clock;
    clock.start();
    bool idle = waitUntilIdle(timeoutMs);
    if (idle && ticked(settingkeys::syncAtExit) && syncNow(Trigger::Exit))
        idle = waitUntilIdle(int(std::max<qint64>(0, timeoutMs - clock.elapsed())));
    if (!idle) {
        // Cut off where it stands: both sides stay consistent and the next sync completes it.
        m_controller.cancel();
        waitUntilIdle(10000);
    }
}

QString SyncService::summary(const Outcome &outcome)
{
    if (!outcome.ok())
        return outcome.message().replace(QLatin1Char('\n'), QLatin1Char(' '));
    QStringList parts;
    if (outcome.downloaded)
        parts << QStringLiteral("取回 %1 个联系人").arg(outcome.downloaded);
    if (outcome.uploaded)
        parts << QStringLiteral("上传 %1 个").arg(outcome.uploaded);
    if (outcome.movedToDeleted)
        parts << QStringLiteral("%1 个移入删除组").arg(outcome.movedToDeleted);
    if (outcome.deletedOnServer)
        parts << QStringLiteral("服务器上删除 %1 个").arg(outcome.deletedOnServer);
    if (outcome.left)
        parts << QStringLiteral("%1 个正在编辑或刚改过,留待下次同步").arg(outcome.left);
    return QStringLiteral("同步完成,") + (parts.isEmpty() ? QStringLiteral("没有变动。") : parts.join(QStringLiteral(",")) + QStringLiteral("。"));
}

QString SyncService::lastSyncText()
{
    const QString when = readSetting(settingkeys::syncLastTime);
    if (when.isEmpty())
        return QStringLiteral("尚未同步。");
    return QStringLiteral("上次同步:%1  %2").arg(when, readSetting(settingkeys::syncLastResult));
}

} // namespace contactsync
