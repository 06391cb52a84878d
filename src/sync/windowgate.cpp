#include "sync/windowgate.h"

#include <QTimer>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace contactsync {

namespace {

struct Handoff
{
    std::mutex mutex;
    std::condition_variable changed;
    enum { Waiting, Running, Done, Abandoned } state = Waiting;
};

void attempt(QObject *context, const std::function<bool()> &ready, const std::function<void()> &work,
             const std::shared_ptr<Handoff> &h)
{
    {
        std::lock_guard lock(h->mutex);
        if (h->state == Handoff::Abandoned)
            return;
    }
    if (ready && !ready()) {
        QTimer::singleShot(5, context, [context, ready, work, h] { attempt(context, ready, work, h); });
        return;
    }
    {
        std::lock_guard lock(h->mutex);
        if (h->state == Handoff::Abandoned)
            return;
        h->state = Handoff::Running;
    }
    work();
    std::lock_guard lock(h->mutex);
    h->state = Handoff::Done;
    h->changed.notify_all();
}

} // namespace

WindowGate::WindowGate(QObject *context, std::function<bool()> ready)
    : m_context(context)
    , m_ready(std::move(ready))
{
}

bool WindowGate::run(const std::function<void()> &work, const std::atomic_bool &cancel)
{
    auto h = std::make_shared<Handoff>();
    QObject *context = m_context.data();
    if (!context)
        return false;
    const std::function<bool()> ready = m_ready;
    QMetaObject::invokeMethod(context, [context, ready, work, h] { attempt(context, ready, work, h); }, Qt::QueuedConnection);
    std::unique_lock lock(h->mutex);
    while (h->state != Handoff::Done) {
        if (cancel.load() && h->state == Handoff::Waiting) {
            h->state = Handoff::Abandoned;
            return false;
        }
        h->changed.wait_for(lock, std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace contactsync
