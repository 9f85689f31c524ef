#include "ConnectionGuard.h"

#include <QTcpSocket>
#include <algorithm>

namespace {
// An event stream carries a few hundred bytes at a time. A small send buffer keeps what the system
// holds for a client that does not read small, so that its events soon wait here, where they are
// counted and timed.
constexpr int kStreamSendBuffer = 16 * 1024;
} // namespace

ConnectionGuard::ConnectionGuard(Limits limits, QObject* parent) : QTcpServer(parent), m_limits(limits)
{
    // Late requests and clients that stopped reading are found a few times per bound, so none lives
    // much past it.
    m_sweep.setParent(this);
    m_sweep.setInterval(
        std::max(std::chrono::milliseconds(20), std::min(m_limits.requestTime, m_limits.unreadTime) / 4));
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
    m_connections[socket].deadline.setRemainingTime(m_limits.requestTime);
    connect(socket, &QObject::destroyed, this, [this, socket] { m_connections.remove(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { m_connections.remove(socket); });
    // Connected before the HTTP server's own reader, so the request line is still there to be seen.
    connect(socket, &QIODevice::readyRead, this, [this, socket] { ReadVersion(socket); });
    connect(socket, &QIODevice::bytesWritten, this, [this, socket] {
        if (const auto it = m_connections.find(socket); it != m_connections.end())
            it->reading = QDeadlineTimer::Forever;
    });
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
        if (!it->stream && it->deadline < earliest) {
            earliest = it->deadline;
            stalest = it.key();
        }
    // Every connection streams: the address that holds the most gives one up, so that no client can
    // keep the others out.
    if (!stalest)
        stalest = OldestStreamOfBusiestAddress();
    if (!stalest)
        return false;
    Drop(stalest);
    return true;
}

QTcpSocket* ConnectionGuard::OldestStreamOfBusiestAddress() const
{
    QHash<QHostAddress, int> held;
    for (const Connection& connection : m_connections)
        if (connection.stream)
            ++held[connection.peer];
    QTcpSocket* oldest = nullptr;
    int most = 0;
    quint64 first = 0;
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it) {
        if (!it->stream)
            continue;
        const int count = held.value(it->peer);
        if (count > most || (count == most && it->stream < first)) {
            most = count;
            first = it->stream;
            oldest = it.key();
        }
    }
    return oldest;
}

void ConnectionGuard::ReadVersion(QTcpSocket* socket)
{
    const auto it = m_connections.find(socket);
    if (it == m_connections.end() || it->versionRead)
        return;
    // Qt's request does not tell its version; the first line does ("GET / HTTP/1.0"), and a client
    // keeps its version for the connection.
    const QByteArray start = socket->peek(std::min(socket->bytesAvailable(), m_limits.requestBytes));
    const qsizetype end = start.indexOf('\n');
    if (end < 0)
        return;
    it->versionRead = true;
    it->http10 = start.left(end).trimmed().endsWith(" HTTP/1.0");
}

void ConnectionGuard::DropLate()
{
    QList<QTcpSocket*> late;
    for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
        if (!it->stream && it->deadline.hasExpired()) {
            late.append(it.key());
        } else if (it.key()->bytesToWrite() == 0) {
            it->reading = QDeadlineTimer::Forever;
        } else if (it->reading.isForever()) {
            // Its answers or events wait here since the system took no more of them: the client has
            // this long to take some.
            it->reading.setRemainingTime(m_limits.unreadTime);
        } else if (it->reading.hasExpired()) {
            late.append(it.key());
        }
    }
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

bool ConnectionGuard::Streaming(QTcpSocket* socket)
{
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return false;
    const QHostAddress peer = socket->peerAddress();
    const auto held = std::count_if(m_connections.cbegin(), m_connections.cend(),
                                    [&](const Connection& c) { return c.stream && c.peer == peer; });
    if (held >= m_limits.streamsPerAddress)
        return false;
    it->peer = peer;
    it->stream = ++m_streams;
    socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, kStreamSendBuffer);
    return true;
}

bool ConnectionGuard::IsStream(QTcpSocket* socket) const
{
    return m_connections.value(socket).stream != 0;
}

bool ConnectionGuard::IsHttp10(QTcpSocket* socket) const
{
    return m_connections.value(socket).http10;
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
