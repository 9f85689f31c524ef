// The whole program's path from a Shift press to a spectator: the game session with its real engine thread
// and the live feed, timed from a key press (a fake key, pressed at a known moment) to the event at each
// client of the live server, with 1 and with 50 clients; and the clock loop's period meanwhile, with none
// and with 50 clients connected; and the period again while 500 idle connections and requests with huge
// headers and paths besiege the server.
//   bench_live_press [PRESSES]   (default 200)
#include "ClockState.h"
#include "GameSession.h"
#include "LiveFeed.h"
#include "Settings.h"
#include "ShiftKeys.h"
#include "SseClients.h"

#include <QCoreApplication>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;


/// Shift keys pressed by the benchmark, which also note when the engine looks at them: once an iteration.
class TimedKeys final : public ShiftKeys {
public:
    bool LeftPressed() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_looks.push_back(Clock::now());
        }
        return m_left.exchange(false);
    }
    bool RightPressed() override { return m_right.exchange(false); }
    void Press(bool left) { (left ? m_left : m_right) = true; }
    /// The intervals between the engine's iterations since the last call, in milliseconds.
    std::vector<double> Periods()
    {
        std::lock_guard lock(m_mutex);
        std::vector<double> periods;
        for (size_t i = 1; i < m_looks.size(); ++i)
            periods.push_back(Ms(m_looks[i] - m_looks[i - 1]).count());
        m_looks.clear();
        return periods;
    }

private:
    std::atomic<bool> m_left{false}, m_right{false};
    std::mutex m_mutex;
    std::vector<Clock::time_point> m_looks;
};

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int presses = argc > 1 ? std::max(2, atoi(argv[1])) : 200;
    QFile load(QStringLiteral("/proc/loadavg"));
    load.open(QIODevice::ReadOnly);
    std::printf("load average: %s", load.readAll().constData());
    std::printf("%8s %8s %14s %12s %18s %18s\n", "clients", "presses", "press->event", "p99 ms",
                "loop period p50", "loop period p99");
    QStringList rows;
    for (const int count : {0, 1, 50, -1}) { // -1: no spectators, but hostile clients
        QTemporaryDir dir;
        auto keys = std::make_shared<TimedKeys>();
        SessionSeams seams;
        seams.keys = keys;
        seams.store = std::make_shared<SettingsStore>(dir.filePath(QStringLiteral("Orvelle.conf")));
        GameSession session(seams);
        LiveFeed feed(session, dir.filePath(QStringLiteral("broadcast-token")));
        Settings live = session.Current();
        live.m_nServePort = FreePort();
        if (const QString error = feed.Apply(live); !error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        session.Start();
        std::unique_ptr<SseClients> clients;
        std::vector<std::unique_ptr<QTcpSocket>> hostile;
        if (count < 0)
            for (int i = 0; i < 500; ++i) {
                auto& s = hostile.emplace_back(std::make_unique<QTcpSocket>());
                s->connectToHost(QStringLiteral("127.0.0.1"), quint16(live.m_nServePort));
                if (i % 50 == 0) // a path, or a header, far too long
                    s->write("GET /" + QByteArray(i % 100 ? 70000 : 10, 'a') +
                             " HTTP/1.1\r\nX: " + QByteArray(i % 100 ? 10 : 100000, 'b') + "\r\n\r\n");
            }
        if (count > 0) {
            clients =
                std::make_unique<SseClients>(QStringLiteral("127.0.0.1"), quint16(live.m_nServePort), count);
            if (clients->WaitFor(0, std::chrono::seconds(10)) < count) {
                std::fprintf(stderr, "not all %d clients connected\n", count);
                return 1;
            }
        }
        keys->Press(true); // the start: the right clock runs
        while (session.Clock().m_bArmed)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        keys->Periods();
        std::vector<double> all, last, periods;
        int lost = 0;
        for (int ply = 1; ply <= presses; ++ply) {
            // A player's turn: a moment at the board, then the press, at any point of the loop's period (a
            // wait in step with it would always press just before the engine looks).
            const Clock::time_point until =
                Clock::now() + std::chrono::microseconds(30000 + random() % 10000);
            while (Clock::now() < until)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            const Clock::time_point pressed = Clock::now();
            keys->Press(ply % 2 == 0); // the running side's key: right on odd plies
            if (!clients) {
                while (session.Clock().m_nPlies < ply)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                continue;
            }
            lost += count - clients->WaitFor(ply, std::chrono::seconds(2));
            double latest = 0;
            for (const Clock::time_point arrived : clients->Arrivals(ply)) {
                all.push_back(Ms(arrived - pressed).count());
                latest = std::max(latest, all.back());
            }
            last.push_back(latest);
        }
        periods = keys->Periods();
        session.Stop();
        std::printf("%8s %8d %14.2f %12.2f %18.2f %18.2f%s\n",
                    count < 0 ? "hostile" : qPrintable(QString::number(count)), presses, Percentile(all, 50),
                    Percentile(all, 99), Percentile(periods, 50), Percentile(periods, 99),
                    lost ? qPrintable(QStringLiteral("  (%1 arrivals missing)").arg(lost)) : "");
        if (count > 0)
            rows << QStringLiteral(
                        "row: a Shift press to a spectator's event, %1 clients, median / 99th percentile | "
                        "%2 / %3 ms | | | |")
                        .arg(count)
                        .arg(Percentile(all, 50), 0, 'f', 1)
                        .arg(Percentile(all, 99), 0, 'f', 1);
        rows << QStringLiteral(
                    "row: clock loop period with %1, 99th percentile | %2 ms | at most 15 ms | | |")
                    .arg(count < 0 ? QStringLiteral("500 idle and hostile connections")
                                   : QStringLiteral("%1 spectators").arg(count))
                    .arg(Percentile(periods, 99), 0, 'f', 1);
    }
    for (const QString& row : rows)
        std::printf("%s\n", qPrintable(row));
    return 0;
}
