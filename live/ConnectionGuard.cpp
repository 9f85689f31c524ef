#include "ConnectionGuard.h"

#include <QTcpSocket>
#include <algorithm>

ConnectionGuard::ConnectionGuard(Limits limits, QObject* parent) : QTcpServer(parent), m_limits(limits)
{
    // Late requests are found a few times per deadline, so none lives much past it.
    m_sweep.setParent(this);
    m_sweep.setInterval(std::max(std::chrono::milliseconds(20), m_limits.requestTime / 4));
    connect(&m_sweep, &QTimer::timeout, this, &ConnectionGuard::DropLate);
    m_sweep.start();
}

void ConnectionGuard::incomingConnection(qintptr handle)
{
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle) || !MakeRoom()) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    // The request stays in this buffer until it is complete, so this bounds what one client can make
    // the server hold; a request that does not fit never completes and meets its deadline.
    socket->setReadBufferSize(m_limits.requestBytes);
    m_connections.insert(socket, {QDeadlineTimer(m_limits.requestTime), false});
    connect(socket, &QObject::destroyed, this, [this, socket] { m_connections.remove(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { m_connections.remove(socket); });
    addPendingConnection(socket);
}

bool ConnectionGuard::MakeRoom()
{
    if (m_connections.size() < m_limits.connections)
        return true;
    // The connection nearest its deadline is the one that has waited longest without a request.
    QTcpSocket* stalest = nullptr;
    QDeadlineTimer earliest = QDeadlineTimer::Forever;
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it)
        if (!it->streaming && it->deadline < earliest) {
            earliest = it->deadline;
            stalest = it.key();
        }
    if (!stalest)
        return false;
    Drop(stalest);
    return true;
}

void ConnectionGuard::DropLate()
{
    QList<QTcpSocket*> late;
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it)
        if (!it->streaming && it->deadline.hasExpired())
            late.append(it.key());
    for (QTcpSocket* socket : late)
        Drop(socket);
}

bool ConnectionGuard::Admit(QTcpSocket* socket)
{
    if (!m_connections.contains(socket))
        return false;
    if (socket->bytesToWrite() <= m_limits.unreadBytes)
        return true;
    Drop(socket);
    return false;
}

void ConnectionGuard::Answered(QTcpSocket* socket)
{
    if (const auto it = m_connections.find(socket); it != m_connections.end())
        it->deadline.setRemainingTime(m_limits.requestTime);
}

void ConnectionGuard::Streaming(QTcpSocket* socket)
{
    if (const auto it = m_connections.find(socket); it != m_connections.end())
        it->streaming = true;
}

bool ConnectionGuard::Send(QTcpSocket* socket, const QByteArray& bytes)
{
    if (!Admit(socket))
        return false;
    socket->write(bytes);
    // Out now rather than at the next turn of the event loop: spectators see a press at once.
    socket->flush();
    return true;
}

void ConnectionGuard::Drop(QTcpSocket* socket)
{
    m_connections.remove(socket);
    socket->abort();
}
