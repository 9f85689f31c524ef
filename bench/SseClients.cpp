#include "SseClients.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>

SseClients::SseClients(const QString& host, quint16 port, int count) : m_clients(size_t(count))
{
    for (Client& client : m_clients) {
        client.socket = std::make_unique<QTcpSocket>();
        connect(client.socket.get(), &QTcpSocket::readyRead, this, [this, &client] { Read(client); });
        client.socket->connectToHost(host, port);
        client.socket->write("GET /events HTTP/1.1\r\nHost: " + host.toUtf8() + "\r\n\r\n");
    }
}

void SseClients::Read(Client& client)
{
    const Clock::time_point now = Clock::now();
    client.pending += client.socket->readAll();
    // Each event is one "data: {...}" line ended by a blank line.
    for (qsizetype end; (end = client.pending.indexOf("\n\n")) >= 0; client.pending.remove(0, end + 2)) {
        const QByteArray event = client.pending.left(end);
        const qsizetype data = event.indexOf("data: ");
        if (data < 0)
            continue;
        const int ply =
            QJsonDocument::fromJson(event.mid(data + 6)).object().value(QStringLiteral("ply")).toInt(-1);
        client.arrived.try_emplace(ply, now);
    }
}

int SseClients::WaitFor(int ply, std::chrono::milliseconds timeout)
{
    const auto have = [&] {
        return int(std::count_if(m_clients.begin(), m_clients.end(),
                                 [&](const Client& c) { return c.arrived.count(ply) > 0; }));
    };
    for (QDeadlineTimer deadline(timeout); have() < int(m_clients.size()) && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return have();
}

std::vector<SseClients::Clock::time_point> SseClients::Arrivals(int ply) const
{
    std::vector<Clock::time_point> times;
    for (const Client& client : m_clients)
        if (const auto it = client.arrived.find(ply); it != client.arrived.end())
            times.push_back(it->second);
    return times;
}
