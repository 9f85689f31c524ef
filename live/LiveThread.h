#pragma once

#include <QString>

class QObject;
class QThread;

/// A thread with an event loop of its own for one object that lives there: the object is moved onto it
/// at the start and deleted on it at the end. What the object does (serving clients, waiting on the
/// network) never holds up the thread that made it.
class LiveThread {
public:
    /// Takes the object, which must have no parent, and starts the thread.
    LiveThread(QObject* resident, const QString& name);
    /// Deletes the object on its thread and waits a bounded time for the thread to end.
    ~LiveThread();
    LiveThread(const LiveThread&) = delete;
    LiveThread& operator=(const LiveThread&) = delete;

private:
    QThread* m_thread;
    QObject* m_resident;
};
