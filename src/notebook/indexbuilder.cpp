#include "notebook/indexbuilder.h"

#include "app/connection.h"

#include <QThread>
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace notesearch {

IndexBuilder::IndexBuilder(QObject *parent)
    : QObject(parent)
{
}

IndexBuilder::~IndexBuilder()
{
    m_stop = true;
    wait();
}

void IndexBuilder::wait()
{
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

void IndexBuilder::start(Connection &db)
{
    if (m_started || !db.isOpen() || indexState(db) == IndexState::Complete)
        return;
    m_started = true;
    m_running = true;
    m_stop = false;
    const QString file = db.file();
    const int ms = stepMs;
    m_thread = QThread::create([this, file, ms] {
#ifdef Q_OS_LINUX
        // Thread priorities mean nothing to Linux's normal scheduler; a nice value does. Not the idle
        // class: a step starved of the processor would keep a save waiting behind its lock.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
#endif
        QString reason;
        const BuildResult result = buildSearchIndex(
            file,
            [this](qint64 done, qint64 total) {
                QMetaObject::invokeMethod(this, [this, done, total] {
                    m_done = done;
                    m_total = total;
                    emit progressed(done, total);
                });
                return true;
            },
            &reason, ms, [this] { return m_stop.load(); });
        QMetaObject::invokeMethod(this, [this, result, reason] {
            m_running = false;
            wait();
            emit finished(result, reason);
        });
    });
    m_thread->start(QThread::LowestPriority);
    emit progressed(m_done, m_total);
}

void IndexBuilder::cancel()
{
    m_stop = true;
}

} // namespace notesearch
