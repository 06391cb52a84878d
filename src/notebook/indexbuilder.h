#pragma once
// Builds the notes' search index on a worker thread of low priority, on a connection of its own,
// while the program goes on as usual (searches read every note until the index is complete). The
// notebook page owns one; the main window starts it once the first frame is out.

#include "notebook/searchindex.h"

#include <QObject>
#include <atomic>

class QThread;

namespace notesearch {

class IndexBuilder : public QObject
{
    Q_OBJECT
public:
    explicit IndexBuilder(QObject *parent = nullptr);
    ~IndexBuilder() override;   // stops the build after its step under way and waits for it

    // Starts building when the database of `db` has no complete index; does nothing otherwise, or
    // when a build already ran in this run.
    void start(Connection &db);
    // Stops after the step under way; the next start of the program goes on from there.
    void cancel();
    bool isRunning() const { return m_running; }

    qint64 done() const { return m_done; }
    qint64 total() const { return m_total; }

    int stepMs = 50;   // about how long one step holds the database

signals:
    void progressed(qint64 done, qint64 total);
    // Complete, stopped or failed; `reason` says why it failed.
    void finished(notesearch::BuildResult result, const QString &reason);

private:
    void wait();

    QThread *m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    bool m_running = false;
    bool m_started = false;
    qint64 m_done = 0, m_total = 0;
};

} // namespace notesearch
