#include "LiveThread.h"

#include <QObject>
#include <QThread>

namespace {
// The resident only ever waits on its event loop, so it ends at once; the bound is for the unforeseen.
constexpr unsigned long kStopWaitMs = 3000;
} // namespace

LiveThread::LiveThread(QObject* resident, const QString& name) : m_thread(new QThread), m_resident(resident)
{
    m_thread->setObjectName(name);
    m_resident->moveToThread(m_thread);
    m_thread->start();
}

LiveThread::~LiveThread()
{
    QObject* resident = m_resident;
    QThread* thread = m_thread;
    QMetaObject::invokeMethod(resident, [resident, thread] {
        delete resident;
        thread->quit();
    });
    // A thread that does not end in time is left to finish on its own rather than destroyed running.
    if (m_thread->wait(kStopWaitMs))
        delete m_thread;
}
