#include "settings/printeratstart.h"

#include "platform/printers.h"

#include <QThread>

namespace settings {

PrinterAtStart::PrinterAtStart(platform::Printers &printers, QObject *parent)
    : QObject(parent)
{
    m_thread.reset(QThread::create([this, &printers] { m_read = printers.description(); }));
    m_thread->setObjectName(QStringLiteral("printer at start"));
    connect(m_thread.get(), &QThread::finished, this, &PrinterAtStart::deliver);
    m_thread->start();
}

PrinterAtStart::~PrinterAtStart()
{
    m_thread->wait();
}

void PrinterAtStart::wait()
{
    m_thread->wait();
    deliver();
}

void PrinterAtStart::deliver()
{
    if (m_delivered)
        return;
    m_delivered = true;
    m_description = m_read;
    emit arrived(m_description);
}

} // namespace settings
