#include "BroadcastPusher.h"

#include "LiveThread.h"
#include "PushWorker.h"

#include <QCoreApplication>
#include <QHostAddress>

BroadcastPusher::BroadcastPusher(const QUrl& pushUrl, const QByteArray& token, Timing timing, QObject* parent)
    : QObject(parent), m_worker(new PushWorker(pushUrl, token, timing,
                                               [this](State state, const QString& text) {
                                                   QMetaObject::invokeMethod(this, [this, state, text] {
                                                       emit StatusChanged(state, text);
                                                   });
                                               })),
      m_thread(std::make_unique<LiveThread>(m_worker, QStringLiteral("broadcast push")))
{}

BroadcastPusher::~BroadcastPusher() = default;

QString BroadcastPusher::CheckAddress(const QUrl& pushUrl)
{
    const bool local =
        QHostAddress(pushUrl.host()).isLoopback() || pushUrl.host() == QLatin1String("localhost");
    if (pushUrl.isValid() &&
        (pushUrl.scheme() == QLatin1String("https") || (pushUrl.scheme() == QLatin1String("http") && local)))
        return {};
    return QCoreApplication::translate("BroadcastPusher",
                                       "the push address must start with https:// (it carries the token): %1")
        .arg(pushUrl.toDisplayString());
}

void BroadcastPusher::Push(int game, const QString& pgn)
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, game, pgn] { worker->Enqueue(game, pgn); });
}
