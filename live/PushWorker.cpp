#include "PushWorker.h"

#include "PgnTags.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <algorithm>
#include <optional>

namespace {
using State = BroadcastPusher::State;

/// What the service's JSON reply says went wrong: the error of a game ({"games":[{"tags":{...},
/// "error":"..."}]}) or of the whole push ({"error":"..."}, or a form's {"error":{"field":["..."]}}).
/// Empty when it names none; nothing when the reply is not such JSON.
std::optional<QString> ServiceError(const QByteArray& body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject reply = document.object();
    for (const QJsonValue& game : reply.value(QStringLiteral("games")).toArray())
        if (const QString error = game.toObject().value(QStringLiteral("error")).toString(); !error.isEmpty())
            return error;
    const QJsonValue error = reply.value(QStringLiteral("error"));
    if (error.isString())
        return error.toString();
    if (error.isObject()) {
        QStringList messages;
        for (const QJsonValue& field : error.toObject())
            for (const QJsonValue& message : field.isArray() ? field.toArray() : QJsonArray{field})
                messages.append(message.toString());
        return messages.join(u' ');
    }
    return reply.contains(QStringLiteral("games")) ? std::optional<QString>(QString()) : std::nullopt;
}
} // namespace

PushWorker::PushWorker(const QUrl& url, const QByteArray& token, BroadcastPusher::Timing timing,
                       Report report)
    : m_url(url), m_token(token), m_timing(timing), m_report(std::move(report)),
      m_addressError(BroadcastPusher::CheckAddress(url))
{
    m_retry.setParent(this);
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &PushWorker::SendNext);
}

PushWorker::~PushWorker()
{
    // The request still in flight is aborted with the network access; its end must not reach members
    // already gone.
    if (m_inFlight)
        disconnect(m_inFlight, nullptr, this, nullptr);
}

void PushWorker::Enqueue(int game, const QString& pgn)
{
    if (!m_addressError.isEmpty()) {
        Tell(State::Refused,
             QCoreApplication::translate("BroadcastPusher", "Broadcast: %1").arg(m_addressError));
        return;
    }
    m_waiting[game] = WithRequiredTags(pgn);
    SendNext();
}

void PushWorker::SendNext()
{
    if (m_inFlight || m_retry.isActive() || m_waiting.empty())
        return;
    // Made here, on the thread it serves.
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    const auto first = m_waiting.begin();
    m_sentGame = first->first;
    m_sentPgn = first->second;
    m_waiting.erase(first);
    QNetworkRequest request(m_url);
    request.setRawHeader("Authorization", "Bearer " + m_token);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/plain"));
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Orvelle/" ORVELLE_VERSION));
    request.setTransferTimeout(int(m_timing.timeout.count()));
    // A redirect would take the token along to whatever address the answer names.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    m_inFlight = m_network->post(request, m_sentPgn.toUtf8());
    connect(m_inFlight, &QNetworkReply::finished, this,
            [this, reply = m_inFlight.data()] { Finished(reply); });
}

void PushWorker::Finished(QNetworkReply* reply)
{
    reply->deleteLater();
    m_inFlight = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const std::optional<QString> error = ServiceError(reply->readAll());
    const QString game = QString::number(m_sentGame);
    const QString unread =
        QCoreApplication::translate("BroadcastPusher",
                                    "the service answered %1 with a reply that could not be read")
            .arg(status);
    if (status >= 200 && status < 300) {
        m_delay = {};
        if (error && !error->isEmpty())
            Tell(State::Refused,
                 QCoreApplication::translate("BroadcastPusher", "Broadcast: game %1: %2").arg(game, *error));
        else
            Tell(State::Sent,
                 error ? QCoreApplication::translate("BroadcastPusher", "Broadcast: game %1 sent").arg(game)
                       : QCoreApplication::translate("BroadcastPusher", "Broadcast: game %1 sent; %2")
                             .arg(game, unread));
    } else if (status >= 300 && status < 500 && status != 408 && status != 429) {
        // The same text would be refused again (or sent astray); the game's next PGN is sent as usual.
        m_delay = {};
        const QByteArray elsewhere = reply->rawHeader("Location");
        const QString why =
            status < 400 && !elsewhere.isEmpty()
                ? QCoreApplication::translate("BroadcastPusher",
                                              "the service answered %1 and names another address, %2: the "
                                              "token goes to the push address alone, so check it")
                      .arg(QString::number(status),
                           m_url.resolved(QUrl::fromEncoded(elsewhere)).toDisplayString())
            : error && !error->isEmpty() ? *error
                                         : unread;
        Tell(State::Refused,
             QCoreApplication::translate("BroadcastPusher", "Broadcast: game %1: %2").arg(game, why));
    } else {
        // The network or the service failed: the PGN waits for the next try, unless a newer one already does.
        m_waiting.try_emplace(m_sentGame, m_sentPgn);
        // Lichess asks a client it turns away for pushing too often (429) to wait a full minute.
        m_delay = status == 429     ? m_timing.longestRetry
                  : m_delay.count() ? std::min(2 * m_delay, m_timing.longestRetry)
                                    : m_timing.firstRetry;
        const bool timedOut = reply->error() == QNetworkReply::OperationCanceledError ||
                              reply->error() == QNetworkReply::TimeoutError;
        const QString reason =
            status     ? QCoreApplication::translate("BroadcastPusher", "the service answered %1").arg(status)
            : timedOut ? QCoreApplication::translate("BroadcastPusher", "no answer within %1 s")
                             .arg(QLocale().toString(m_timing.timeout.count() / 1000.0))
                       : reply->errorString();
        Tell(State::Retrying,
             QCoreApplication::translate("BroadcastPusher", "Broadcast: retrying in %1 s (%2)")
                 .arg(QLocale().toString(m_delay.count() / 1000.0), reason));
        m_retry.start(m_delay);
    }
    SendNext();
}

void PushWorker::Tell(State state, QString text) const
{
    if (!m_token.isEmpty())
        text.replace(QString::fromUtf8(m_token), QStringLiteral("…"));
    m_report(state, text);
}
