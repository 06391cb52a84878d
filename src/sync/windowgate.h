#pragma once
// Runs a piece of work on the window's thread, between two of its events, for a worker thread that
// waits for it. A cancel lets the worker go before the work has begun; work that has begun is
// waited for (it is short), so it never runs half.

#include <QPointer>
#include <QObject>
#include <atomic>
#include <functional>

namespace contactsync {

class WindowGate
{
public:
    // `context` lives on the window's thread; `ready` is asked there first, and the work waits
    // (a few milliseconds at a time) while it says no.
    WindowGate(QObject *context, std::function<bool()> ready);

    // False when cancelled before the work began (it then never runs).
    bool run(const std::function<void()> &work, const std::atomic_bool &cancel);

private:
    QPointer<QObject> m_context;
    std::function<bool()> m_ready;
};

} // namespace contactsync
