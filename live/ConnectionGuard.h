#pragma once

#include <QDeadlineTimer>
#include <QHash>
#include <QTcpServer>
#include <QTimer>
#include <chrono>

class QTcpSocket;

/// The live server's listening socket, with bounds on what its clients may hold: how many connections
/// are open, how much of a request may be buffered, how long a request may take to arrive, and how much
/// a client may leave unread. A client past a bound is dropped; nothing it does can hold up the rest.
class ConnectionGuard : public QTcpServer {
public:
    struct Limits {
        int connections = 200;           ///< open at once; a new one pushes out the stalest idle one
        qint64 requestBytes = 32 * 1024; ///< buffered of one request (browsers send a few hundred)
        std::chrono::milliseconds requestTime{
            10000};                      ///< for a request, from the connection or the last answer
        qint64 unreadBytes = 256 * 1024; ///< answers and events a client has not yet taken
    };

    explicit ConnectionGuard(Limits limits, QObject* parent = nullptr);

    /// Whether a request on the connection may be answered: a client that has left too much of its
    /// earlier answers unread is dropped instead.
    bool Admit(QTcpSocket* socket);
    /// An answer has been written: the connection's time for its next request starts now.
    void Answered(QTcpSocket* socket);
    /// The connection now carries an event stream: no deadline for requests, only the unread bound.
    void Streaming(QTcpSocket* socket);
    /// Writes to a stream; drops a client that has left too much unread. Returns whether it still is.
    bool Send(QTcpSocket* socket, const QByteArray& bytes);
    int Connections() const { return int(m_connections.size()); }

protected:
    void incomingConnection(qintptr handle) override;

private:
    struct Connection {
        QDeadlineTimer deadline;
        bool streaming = false;
    };
    bool MakeRoom();
    void DropLate();
    void Drop(QTcpSocket* socket);

    Limits m_limits;
    QHash<QTcpSocket*, Connection> m_connections;
    QTimer m_sweep;
};
