#include "LiveServer.h"

#include "LiveHttp.h"
#include "LiveThread.h"

#include <QNetworkInterface>

namespace {
// The address others on the network reach this machine by: the first IPv4 address of an interface
// that is up, else the loopback (the page still opens here).
QString NetworkHost()
{
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries())
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                return entry.ip().toString();
    }
    return QStringLiteral("127.0.0.1");
}
} // namespace

LiveServer::LiveServer(ConnectionGuard::Limits limits)
    : m_http(new LiveHttp(limits)),
      m_thread(std::make_unique<LiveThread>(m_http, QStringLiteral("live server")))
{}

LiveServer::~LiveServer() = default;

QString LiveServer::Start(quint16 port, bool lan)
{
    QString error;
    quint16 bound = 0;
    QMetaObject::invokeMethod(
        m_http,
        [&] {
            error = m_http->Listen(port, lan);
            bound = m_http->Port();
        },
        Qt::BlockingQueuedConnection);
    m_address = error.isEmpty() ? QUrl(QStringLiteral("http://%1:%2/")
                                           .arg(lan ? NetworkHost() : QStringLiteral("127.0.0.1"))
                                           .arg(bound))
                                : QUrl();
    return error;
}

QUrl LiveServer::Address() const
{
    return m_address;
}

void LiveServer::Publish(LiveState state)
{
    if (state.taken == std::chrono::steady_clock::time_point{})
        state.taken = std::chrono::steady_clock::now();
    QMetaObject::invokeMethod(m_http, [http = m_http, state = std::move(state)] { http->Publish(state); });
}

void LiveServer::SetGamePgn(int game, const QString& pgn)
{
    QMetaObject::invokeMethod(m_http, [http = m_http, game, pgn] { http->SetGamePgn(game, pgn); });
}
