#pragma once

#include "BroadcastPusher.h"

#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>

class QNetworkAccessManager;
class QNetworkReply;

/// The broadcast push's work, on its own thread: each game's newest PGN waiting to go, the one request
/// in flight, and the wait before trying again.
class PushWorker : public QObject {
public:
    using Report = std::function<void(BroadcastPusher::State, const QString&)>;
    PushWorker(const QUrl& url, const QByteArray& token, BroadcastPusher::Timing timing, Report report);
    ~PushWorker() override;

    /// Queues the game's PGN in place of one of that game still waiting, and sends when it may.
    void Enqueue(int game, const QString& pgn);

private:
    void SendNext();
    void Finished(QNetworkReply* reply);
    void Tell(BroadcastPusher::State state, QString text) const;

    QUrl m_url;
    QByteArray m_token;
    BroadcastPusher::Timing m_timing;
    Report m_report;
    QString m_addressError;
    QNetworkAccessManager* m_network = nullptr;
    std::map<int, QString> m_waiting;
    QPointer<QNetworkReply> m_inFlight;
    int m_sentGame = 0;
    QString m_sentPgn;
    QTimer m_retry;
    std::chrono::milliseconds m_delay{0};
};
