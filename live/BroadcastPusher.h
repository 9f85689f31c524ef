#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <chrono>
#include <memory>

class LiveThread;
class PushWorker;

/// Sends each game's PGN to a lichess broadcast round while it is played (POST to the round's push
/// address, with the token as a bearer). Requests go out one at a time from a thread of its own: the
/// newest PGN of a game replaces one still waiting, so an older one is never sent after a newer one.
/// While the network or the service fails it tries again, waiting twice as long each time up to a
/// minute. The token never appears in a status text.
class BroadcastPusher : public QObject {
    Q_OBJECT
public:
    /// How long to wait: the first retry (doubled after each failure up to the longest), and how long
    /// a request may take before it counts as failed.
    struct Timing {
        std::chrono::milliseconds firstRetry{1000};
        std::chrono::milliseconds longestRetry{60000};
        std::chrono::milliseconds timeout{10000};
    };
    enum class State {
        Idle,     ///< nothing sent yet
        Sent,     ///< the service took the newest PGN
        Retrying, ///< the network or the service failed; it tries again
        Refused,  ///< the service refused the game (its error is in the text); the next ply is sent anyway
    };
    Q_ENUM(State)

    /// An address that is neither https nor on this machine is refused (the token would travel in
    /// clear), as Push's status says.
    BroadcastPusher(const QUrl& pushUrl, const QByteArray& token, Timing timing, QObject* parent = nullptr);
    BroadcastPusher(const QUrl& pushUrl, const QByteArray& token, QObject* parent = nullptr)
        : BroadcastPusher(pushUrl, token, Timing{}, parent)
    {}
    ~BroadcastPusher() override;

    /// Why the address cannot be a push address, or an empty text.
    static QString CheckAddress(const QUrl& pushUrl);
    /// Queues the game's PGN (game numbers from 1; earlier games go first). Any thread; returns at once.
    /// Tags the service requires and the text lacks are added.
    void Push(int game, const QString& pgn);

signals:
    /// The status changed: "Broadcast: retrying in 4 s (...)", or the service's error for a game.
    /// Emitted on the thread that made the pusher.
    void StatusChanged(BroadcastPusher::State state, const QString& text);

private:
    PushWorker* m_worker;
    std::unique_ptr<LiveThread> m_thread;
};
