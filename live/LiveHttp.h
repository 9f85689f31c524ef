#pragma once

#include "ConnectionGuard.h"
#include "LiveState.h"

#include <QAbstractHttpServer>
#include <QDateTime>
#include <QHash>
#include <QHttpServerResponder>
#include <QMap>
#include <QPointer>
#include <QTimer>

/// The live server's answers, on the live thread: the spectator page and the overlay, the state and its
/// event stream, this run's games as PGN and the pages' files. Everything comes from memory or the
/// program's resources, looked up by the whole path: no request reaches the file system. Only GET and
/// HEAD are answered.
class LiveHttp : public QAbstractHttpServer {
public:
    explicit LiveHttp(ConnectionGuard::Limits limits, QObject* parent = nullptr);

    /// Listens on the port (0: any free one) of every interface when lan, else of 127.0.0.1 alone,
    /// closing what it listened on before. Returns why it could not, or an empty text.
    QString Listen(quint16 port, bool lan);
    /// The port listened on, or 0.
    quint16 Port() const;
    /// Makes the state current and sends it to every event stream.
    void Publish(const LiveState& state);
    /// Sets a game of /games.pgn, adding the tags a broadcast requires when they are missing.
    void SetGamePgn(int game, const QString& pgn);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest&, QTcpSocket*) override {}

private:
    /// A complete answer, with what a client needs to ask again only when it changed.
    struct Reply {
        QHttpServerResponder::StatusCode status = QHttpServerResponder::StatusCode::Ok;
        QByteArray type;
        QByteArray body;
        QByteArray etag;
        QDateTime modified;
        QByteArray cache = "no-cache";
        bool shared = false; ///< pages of other origins may read it (custom overlays)
    };
    static Reply Text(QHttpServerResponder::StatusCode status, const QString& text);
    Reply Page(const QString& resource) const;
    Reply Find(const QString& path) const;
    QByteArray StateJson() const;
    void Send(QHttpServerResponder& responder, const QHttpServerRequest& request, const Reply& reply,
              bool head) const;
    void UpdateGames();
    void StartStream(QHttpServerResponder& responder, const QHttpServerRequest& request, QTcpSocket* socket,
                     bool head);
    void SendToStreams(const QByteArray& bytes);

    ConnectionGuard::Limits m_limits;
    QPointer<ConnectionGuard> m_guard;
    QHash<QString, Reply> m_files;
    LiveState m_state;
    QMap<int, QString> m_games;
    Reply m_pgn;
    QList<QPointer<QTcpSocket>> m_streams;
    QTimer m_heartbeat;
};
