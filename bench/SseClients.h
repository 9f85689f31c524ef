#pragma once

#include <QObject>
#include <QTcpSocket>
#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <vector>

/// The value below which p per cent of the values lie.
inline double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[std::min(values.size() - 1, size_t(p / 100 * double(values.size())))];
}

/// Clients of a live server's event stream, for timing it: each connects to /events and notes when each
/// event arrives, by the ply the event's state carries. They read on the thread that made them, so
/// that thread must run its event loop; the benchmarks of the live server and of the whole program
/// both use them.
class SseClients : public QObject {
public:
    using Clock = std::chrono::steady_clock;

    SseClients(const QString& host, quint16 port, int count);
    /// Runs the event loop until every client has had an event of this ply, or the time is up; returns
    /// how many have.
    int WaitFor(int ply, std::chrono::milliseconds timeout);
    /// When each client that had it first saw the event of this ply.
    std::vector<Clock::time_point> Arrivals(int ply) const;

private:
    struct Client {
        std::unique_ptr<QTcpSocket> socket;
        QByteArray pending;
        std::map<int, Clock::time_point> arrived;
    };
    void Read(Client& client);

    std::vector<Client> m_clients;
};
