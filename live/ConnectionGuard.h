#pragma once

#include <QDeadlineTimer>
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>
#include <chrono>

class QTcpSocket;

/// The live server's listening socket, with bounds on what its clients may hold: how many connections
/// are open and how many of them one address may hold as event streams, how much of a request may be
/// buffered, how long a request may take to arrive, and how much a client may leave unread and for how
/// long. A client past a bound is dropped; nothing it does can hold up the rest.
class ConnectionGuard : public QTcpServer {
public:
    struct Limits {
        int connections = 200;           ///< open at once; a new one pushes out the stalest idle one
        qint64 requestBytes = 32 * 1024; ///< buffered of one request (browsers send a few hundred)
        std::chrono::milliseconds requestTime{
            10000};                      ///< for a request, from the connection or the last answer
        qint64 unreadBytes = 256 * 1024; ///< answers and events a client has not yet taken
        int streamsPerAddress = 16;      ///< event streams of one address (screens behind a router)
        std::chrono::milliseconds unreadTime{
            30000}; ///< a client that takes nothing of what waits for it this long has stopped reading
    };

    explicit ConnectionGuard(Limits limits, QObject* parent = nullptr);

    /// Whether a request on the connection may be answered: a client that has left too much of its
    /// earlier answers unread is dropped instead.
    bool Admit(QTcpSocket* socket);
    /// An answer has been written: the connection's time for its next request starts now.
    void Answered(QTcpSocket* socket);
    /// Makes the connection an event stream (no deadline for requests, only the unread bounds), unless
    /// its address already holds as many streams as it may. Returns whether it did.
    bool Streaming(QTcpSocket* socket);
    bool IsStream(QTcpSocket* socket) const;
    /// Whether the connection's client speaks HTTP/1.0, by the first request line it sent.
    bool IsHttp10(QTcpSocket* socket) const;
    /// Writes to a stream; drops a client that has left too much unread. Returns whether it still is.
    bool Send(QTcpSocket* socket, const QByteArray& bytes);
    int Connections() const { return int(m_connections.size()); }

protected:
    void incomingConnection(qintptr handle) override;

private:
    struct Connection {
        QDeadlineTimer deadline;
        QDeadlineTimer reading = QDeadlineTimer::Forever; ///< by when it must take some of what waits
        QHostAddress peer;
        quint64 stream = 0; ///< the how-manieth stream it is, or 0 when it is none
        bool versionRead = false;
        bool http10 = false;
    };
    bool MakeRoom();
    QTcpSocket* OldestStreamOfBusiestAddress() const;
    void ReadVersion(QTcpSocket* socket);
    void DropLate();
    void Drop(QTcpSocket* socket);

    Limits m_limits;
    QHash<QTcpSocket*, Connection> m_connections;
    quint64 m_streams = 0;
    QTimer m_sweep;
};
