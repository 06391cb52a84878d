#pragma once
// The printer as the program read it at start. The read asks the print system, which can take a
// while (a print server that answers late), so it runs on a worker thread and the first frame never
// waits for it; what it read arrives on the thread that started it.

#include <QObject>
#include <QString>
#include <memory>

class QThread;
namespace platform {
class Printers;
}

namespace settings {

class PrinterAtStart : public QObject
{
    Q_OBJECT
public:
    // Starts reading `printers`' current printer now.
    explicit PrinterAtStart(platform::Printers &printers, QObject *parent = nullptr);
    // Waits for the read: the printers outlive it only as long as their owner says.
    ~PrinterAtStart() override;

    bool isRead() const { return m_delivered; }
    // "name\tdriver\tport", or empty while not read or with no printer.
    QString description() const { return m_description; }
    // Waits until the read is done and has arrived. Whoever asks the printers anything else calls this
    // first: the printers are not to be used from two threads at once.
    void wait();

signals:
    // Once, when the read is done: from the event loop, or from wait() if that came first.
    void arrived(const QString &description);

private:
    void deliver();

    std::unique_ptr<QThread> m_thread;
    QString m_read; // written by the worker only, read once it finished
    QString m_description;
    bool m_delivered = false;
};

} // namespace settings
