#include "app/writepause.h"

#include <QMutex>
#include <QWaitCondition>

namespace app {

namespace {

QMutex g_mutex;
QWaitCondition g_released;
int g_pauses = 0;
int g_foreground = 0;

} // namespace

WritePause::WritePause()
{
    const QMutexLocker lock(&g_mutex);
    ++g_pauses;
}

WritePause::~WritePause()
{
    const QMutexLocker lock(&g_mutex);
    if (--g_pauses == 0 && g_foreground == 0)
        g_released.wakeAll();
}

bool WritePause::active()
{
    const QMutexLocker lock(&g_mutex);
    return g_pauses > 0;
}

void WritePause::foregroundTransaction(bool open)
{
    const QMutexLocker lock(&g_mutex);
    g_foreground += open ? 1 : -1;
    if (g_foreground == 0 && g_pauses == 0)
        g_released.wakeAll();
}

bool WritePause::runStep(const std::function<void()> &step, const std::function<bool()> &stop)
{
    QMutexLocker lock(&g_mutex);
    while (g_pauses > 0 || g_foreground > 0) {
        if (stop && stop())
            return false;
        // Not a wait for ever: a cancel asked for meanwhile is seen within this time.
        g_released.wait(&g_mutex, 100);
    }
    if (stop && stop())
        return false;
    step();
    return true;
}

} // namespace app
