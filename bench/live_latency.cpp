// How long a change takes from LiveServer::Publish to a client of the event stream, with 1 and with 50
// clients connected: the median and the 99th percentile over every client's arrival, and of the last
// client of each change.
//   bench_live_latency [CHANGES]   (default 300)
#include "LiveServer.h"
#include "SseClients.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <cstdio>

namespace {
using Ms = std::chrono::duration<double, std::milli>;
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int changes = argc > 1 ? std::max(1, atoi(argv[1])) : 300;
    QFile load(QStringLiteral("/proc/loadavg"));
    load.open(QIODevice::ReadOnly);
    std::printf("load average: %s", load.readAll().constData());
    std::printf("%8s %8s %12s %12s %18s %18s\n", "clients", "changes", "median ms", "p99 ms",
                "last, median ms", "last, p99 ms");
    QStringList rows;
    for (const int count : {1, 50}) {
        LiveServer server;
        if (const QString error = server.Start(0, false); !error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        LiveState state;
        state.ply = 0;
        server.Publish(state);
        SseClients clients(QStringLiteral("127.0.0.1"), quint16(server.Address().port()), count);
        if (clients.WaitFor(0, std::chrono::seconds(10)) < count) {
            std::fprintf(stderr, "not all %d clients connected\n", count);
            return 1;
        }
        std::vector<double> all, last;
        int lost = 0;
        for (int ply = 1; ply <= changes; ++ply) {
            state.ply = ply;
            const SseClients::Clock::time_point published = SseClients::Clock::now();
            server.Publish(state);
            lost += count - clients.WaitFor(ply, std::chrono::seconds(2));
            double latest = 0;
            for (const SseClients::Clock::time_point arrived : clients.Arrivals(ply)) {
                all.push_back(Ms(arrived - published).count());
                latest = std::max(latest, all.back());
            }
            last.push_back(latest);
            // Changes come a few at a second in a game; a pause keeps them from queuing behind each other.
            QThread::msleep(5);
        }
        std::printf("%8d %8d %12.3f %12.3f %18.3f %18.3f%s\n", count, changes, Percentile(all, 50),
                    Percentile(all, 99), Percentile(last, 50), Percentile(last, 99),
                    lost ? qPrintable(QStringLiteral("  (%1 arrivals missing)").arg(lost)) : "");
        rows.push_back(
            QStringLiteral("row: live server, Publish to a client's event, %1 clients, median / 99th "
                           "percentile | %2 / %3 ms | | | |")
                .arg(count)
                .arg(Percentile(all, 50), 0, 'f', 2)
                .arg(Percentile(all, 99), 0, 'f', 2));
    }
    for (const QString& row : rows)
        std::printf("%s\n", qPrintable(row));
    return 0;
}
