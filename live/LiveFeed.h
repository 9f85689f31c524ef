#pragma once

#include "LiveScore.h"
#include "LiveState.h"

#include <QObject>
#include <QString>
#include <array>
#include <memory>

class BroadcastPusher;
class GameSession;
class LiveServer;
struct Settings;

/// The game session on the network: the live server's state and this run's games, and the push to a
/// lichess broadcast round, kept up with the session as it changes. Made and used on the session's
/// thread; the server and the push work on threads of their own, so nothing here ever waits on a client
/// or the network, and the clocks never wait on anything here.
class LiveFeed final : public QObject {
    Q_OBJECT
public:
    /// tokenFile is where the broadcast's token is kept ("broadcast-token" beside the settings).
    LiveFeed(GameSession& session, QString tokenFile, QObject* parent = nullptr);
    ~LiveFeed() override;

    /// Takes the live settings in force: the server started, moved or stopped, the push made anew with
    /// the token as its file holds it now. Says what the players should be told (a port in use, a token
    /// file others can read), or nothing.
    QString Apply(const Settings& settings);
    /// What the window shows: the address to open, and how the broadcast goes; empty when neither is on.
    QString Status() const;
    /// What spectators are shown now.
    LiveState State() const;

signals:
    void statusChanged();

private:
    void OnClocks();
    void OnScore(const LastMove& score);
    void Publish();

    GameSession& m_session;
    const QString m_tokenFile;
    std::unique_ptr<LiveServer> m_server;
    BroadcastPusher* m_pusher = nullptr;
    int m_port = 0;
    bool m_lan = false;
    QString m_pushUrl;
    QString m_broadcast;               // the push's last status
    LastMove m_score;                  // the score of the game being played, as last read
    std::array<long long, 9> m_seen{}; // what spectators were last shown of the clocks
};
