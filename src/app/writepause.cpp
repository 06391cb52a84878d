#include "app/writepause.h"

#include <QMutex>
#include <QWaitCondition>

namespace app {

namespace {

QMutex g_mutex;
QWaitCondition g_changed;
int g_pauses = 0;
int g_foreground = 0;
bool g_stepRunning = false;

} // namespace

WritePause::WritePause()
{
    QMutexLocker lock(&g_mutex);
    ++g_pauses;
    while (g_stepRunning)
        g_changed.wait(&g_mutex);
}

WritePause::~WritePause()
{
    const QMutexLocker lock(&g_mutex);
    --g_pauses;
    g_changed.wakeAll();
}

bool WritePause::active()
{
    const QMutexLocker lock(&g_mutex);
    return g_pauses > 0;
}

void WritePause::foregroundTransaction(bool open)
{
    // Never waits: a step under way holds the database's own lock, which the program's connection
    // waits for with its busy timeout.
    const QMutexLocker lock(&g_mutex);
    g_foreground += open ? 1 : -1;
    g_changed.wakeAll();
}

bool WritePause::runStep(const std::function<void()> &step, const std::function<bool()> &stop)
{
    {
        QMutexLocker lock(&g_mutex);
        while (g_pauses > 0 || g_foreground > 0) {
            if (stop && stop())
                return false;
            // Not a wait for ever: a stop asked for meanwhile is seen within this time.
            g_changed.wait(&g_mutex, 100);
        }
        if (stop && stop())
            return false;
        g_stepRunning = true;
    }
    step();
    const QMutexLocker lock(&g_mutex);
    g_stepRunning = false;
    g_changed.wakeAll();
    return true;
}

} // namespace app
