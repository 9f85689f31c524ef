#pragma once

#include "ConnectionGuard.h"
#include "LiveState.h"

#include <QString>
#include <QUrl>
#include <memory>

class LiveHttp;
class LiveThread;

/// The game on the network while it is played: a spectator page at /, an overlay for streaming at
/// /overlay, the state at /state.json and at every change on /events, and this run's games at
/// /games.pgn. It serves from a thread of its own, so no client can hold up the caller; every function
/// may be called from any thread and returns at once.
class LiveServer {
public:
    explicit LiveServer(ConnectionGuard::Limits limits = {});
    ~LiveServer();
    LiveServer(const LiveServer&) = delete;
    LiveServer& operator=(const LiveServer&) = delete;

    /// Listens on the port (0: any free one), on every interface when lan (for a screen in another
    /// room), else on 127.0.0.1 alone; a second call moves the server. Returns why it could not listen
    /// ("Port 8080 is in use by another program: ..."), or an empty text.
    QString Start(quint16 port, bool lan);
    /// The address to open in a browser ("http://192.168.1.20:8080/"), or an empty one when not listening.
    QUrl Address() const;
    /// Makes the state current and sends it to every spectator.
    void Publish(LiveState state);
    /// Sets one game of /games.pgn (numbered from 1), replacing its earlier text.
    void SetGamePgn(int game, const QString& pgn);

private:
    LiveHttp* m_http;
    std::unique_ptr<LiveThread> m_thread;
    QUrl m_address;
};
