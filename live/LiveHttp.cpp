#include "LiveHttp.h"

#include "PgnTags.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QHttpServerRequest>
#include <QJsonDocument>
#include <QLocale>
#include <QMimeDatabase>
#include <QMutex>
#include <QSet>
#include <QTcpSocket>
#include <cstring>
#include <mutex>

namespace {
using Status = QHttpServerResponder::StatusCode;

// Far beyond any address the pages use; a longer one is an attack or a mistake.
constexpr qsizetype kMaxUrlBytes = 2048;
// A comment now and then keeps idle proxies from closing a stream and finds clients that have gone.
constexpr std::chrono::seconds kHeartbeat{15};
// HTTP dates, in English whatever the user's language.
const QString kHttpDate = QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'");

QByteArray Etag(const QByteArray& body)
{
    return '"' + QCryptographicHash::hash(body, QCryptographicHash::Sha1).toHex().left(20) + '"';
}

QByteArray HttpDate(const QDateTime& time)
{
    return QLocale::c().toString(time.toUTC(), kHttpDate).toLatin1();
}

// Whether the client's copy, named by If-None-Match or else dated by If-Modified-Since, is still current.
bool ClientHasIt(const QHttpServerRequest& request, const QByteArray& etag, const QDateTime& modified)
{
    const QByteArray match = request.value("If-None-Match");
    if (!match.isEmpty()) {
        for (QByteArray tag : match.split(',')) {
            tag = tag.trimmed();
            if (tag.startsWith("W/"))
                tag = tag.mid(2);
            if (tag == "*" || (!etag.isEmpty() && tag == etag))
                return true;
        }
        return false;
    }
    const QByteArray since = request.value("If-Modified-Since");
    if (since.isEmpty() || !modified.isValid())
        return false;
    QDateTime date = QLocale::c().toDateTime(QString::fromLatin1(since), kHttpDate);
    date.setTimeSpec(Qt::UTC);
    return date.isValid() && modified <= date;
}

// Whether the client would have the connection kept for its next request. Connection is a list of
// options ("keep-alive, close"); HTTP/1.0 closes unless asked to keep it.
bool KeepsConnection(const QHttpServerRequest& request, bool http10)
{
    bool keep = !http10;
    for (const auto& [name, value] : request.headers()) {
        if (name.compare("Connection", Qt::CaseInsensitive) != 0)
            continue;
        for (const QByteArray& option : value.split(',')) {
            if (option.trimmed().compare("close", Qt::CaseInsensitive) == 0)
                return false;
            keep = keep || option.trimmed().compare("keep-alive", Qt::CaseInsensitive) == 0;
        }
    }
    return keep;
}

// Qt's HTTP server warns on standard error at each request of some kinds that it turns away itself
// (every "Upgrade: websocket"), so any client could fill the log. Each kind is told once; past a few
// dozen kinds, none is.
constexpr qsizetype kLibraryWarnings = 32;
QtMessageHandler g_nextHandler = nullptr;

void OnceEachLibraryWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (context.category && std::strncmp(context.category, "qt.httpserver", 13) == 0) {
        static QMutex mutex;
        static QSet<QString> told;
        const QMutexLocker lock(&mutex);
        if (told.contains(message) || told.size() >= kLibraryWarnings)
            return;
        told.insert(message);
    }
    g_nextHandler(type, context, message);
}
} // namespace

LiveHttp::LiveHttp(ConnectionGuard::Limits limits, QObject* parent)
    : QAbstractHttpServer(parent), m_limits(limits)
{
    const QMimeDatabase types;
    for (QDirIterator it(QStringLiteral(":/live"), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString resource = it.next();
        const QString path = resource.mid(qsizetype(std::char_traits<char>::length(":/live")));
        if (path.endsWith(QLatin1String(".html")))
            continue; // the pages are answered with the state in them
        QFile file(resource);
        file.open(QIODevice::ReadOnly);
        Reply reply;
        reply.body = file.readAll();
        reply.type = types.mimeTypeForFile(resource, QMimeDatabase::MatchExtension).name().toLatin1();
        if (!reply.type.startsWith("image/"))
            reply.type += "; charset=utf-8";
        reply.etag = Etag(reply.body);
        m_files.insert(path, reply);
    }
    m_pgn.type = "application/x-chess-pgn; charset=utf-8";
    m_pgn.shared = true;
    UpdateGames();
    m_heartbeat.setParent(this);
    connect(&m_heartbeat, &QTimer::timeout, this, [this] { SendToStreams(":\n\n"); });
    m_heartbeat.start(kHeartbeat);
}

QString LiveHttp::Listen(quint16 port, bool lan)
{
    static std::once_flag quiet;
    std::call_once(quiet, [] { g_nextHandler = qInstallMessageHandler(OnceEachLibraryWarning); });
    delete m_guard;
    auto* guard = new ConnectionGuard(m_limits, this);
    if (!guard->listen(lan ? QHostAddress::Any : QHostAddress::LocalHost, port)) {
        const QString number = QString::number(port);
        const QString error =
            guard->serverError() == QAbstractSocket::AddressInUseError
                ? QCoreApplication::translate("LiveServer",
                                              "Port %1 is in use by another program: choose another port.")
                      .arg(number)
            : guard->serverError() == QAbstractSocket::SocketAccessError
                ? QCoreApplication::translate("LiveServer",
                                              "Port %1 is reserved for the system: choose a port above 1023.")
                      .arg(number)
                : QCoreApplication::translate("LiveServer", "Cannot listen on port %1: %2")
                      .arg(number, guard->errorString());
        delete guard;
        return error;
    }
    bind(guard);
    m_guard = guard;
    return {};
}

quint16 LiveHttp::Port() const
{
    return m_guard ? m_guard->serverPort() : 0;
}

void LiveHttp::Publish(const LiveState& state)
{
    m_state = state;
    SendToStreams("data: " + StateJson() + "\n\n");
}

void LiveHttp::SetGamePgn(int game, const QString& pgn)
{
    m_games.insert(game, WithRequiredTags(pgn).trimmed());
    UpdateGames();
}

void LiveHttp::UpdateGames()
{
    const QByteArray body =
        m_games.isEmpty() ? QByteArray() : QStringList(m_games.values()).join(u"\n\n").toUtf8() + '\n';
    if (body == m_pgn.body && m_pgn.modified.isValid())
        return;
    m_pgn.body = body;
    m_pgn.etag = Etag(body);
    // HTTP dates count whole seconds: two changes within one second still get different dates, so that a
    // poller asking "changed since?" with the first never misses the second.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime second = now.addMSecs(-now.time().msec());
    m_pgn.modified = m_pgn.modified.isValid() ? std::max(second, m_pgn.modified.addSecs(1)) : second;
}

QByteArray LiveHttp::StateJson() const
{
    return QJsonDocument(
               ToJson(m_state, std::chrono::steady_clock::now(), QDateTime::currentMSecsSinceEpoch()))
        .toJson(QJsonDocument::Compact);
}

bool LiveHttp::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    if (!m_guard || !m_guard->Admit(socket))
        return true;
    // A stream carries its events and nothing else: were its further requests answered, one socket
    // could be a stream many times over.
    if (m_guard->IsStream(socket))
        return true;
    QHttpServerResponder responder = makeResponder(request, socket);
    const QHttpServerRequest::Method method = request.method();
    const bool head = method == QHttpServerRequest::Method::Head;
    const QString path = request.url().path();
    if (request.url().toEncoded().size() > kMaxUrlBytes) {
        Send(responder, request,
             Text(Status::UriTooLong, QCoreApplication::translate("LiveServer", "The address is too long.")),
             head);
    } else if (method != QHttpServerRequest::Method::Get && !head) {
        Reply reply = Text(Status::MethodNotAllowed,
                           QCoreApplication::translate("LiveServer", "Only GET and HEAD are answered here."));
        Send(responder, request, reply, false);
    } else if (path == QLatin1String("/events")) {
        StartStream(responder, request, socket, head);
    } else {
        Send(responder, request, Find(path), head);
    }
    m_guard->Answered(socket);
    // Qt's server keeps every connection open; a client that asked otherwise is told so by the close.
    if (!m_guard->IsStream(socket) && !KeepsConnection(request, m_guard->IsHttp10(socket)))
        socket->disconnectFromHost();
    return true;
}

LiveHttp::Reply LiveHttp::Find(const QString& path) const
{
    if (path == QLatin1String("/"))
        return Page(QStringLiteral(":/live/index.html"));
    if (path == QLatin1String("/overlay"))
        return Page(QStringLiteral(":/live/overlay.html"));
    if (path == QLatin1String("/state.json")) {
        Reply reply;
        reply.type = "application/json";
        reply.body = StateJson();
        reply.cache = "no-store";
        reply.shared = true;
        return reply;
    }
    if (path == QLatin1String("/games.pgn"))
        return m_pgn;
    const auto file = m_files.constFind(path);
    return file != m_files.cend()
               ? *file
               : Text(Status::NotFound, QCoreApplication::translate("LiveServer", "There is nothing here."));
}

LiveHttp::Reply LiveHttp::Page(const QString& resource) const
{
    QFile file(resource);
    file.open(QIODevice::ReadOnly);
    const QJsonObject texts{
        {QStringLiteral("paused"), QCoreApplication::translate("LiveServer", "Paused")},
        {QStringLiteral("flag"), QCoreApplication::translate("LiveServer", "Out of time")},
        {QStringLiteral("white"), QCoreApplication::translate("LiveServer", "White")},
        {QStringLiteral("black"), QCoreApplication::translate("LiveServer", "Black")},
        {QStringLiteral("round"), QCoreApplication::translate("LiveServer", "Round %1")},
        {QStringLiteral("board"), QCoreApplication::translate("LiveServer", "Board %1")},
        {QStringLiteral("offline"),
         QCoreApplication::translate("LiveServer", "Connection lost: reconnecting")},
        {QStringLiteral("waiting"), QCoreApplication::translate("LiveServer", "Waiting for the game")}};
    // The page starts with the state in it, so it shows the game before its event stream opens. A "<"
    // in a name must not end the script element early; JSON says it as \u003c just as well.
    QByteArray data = "{\"texts\":" + QJsonDocument(texts).toJson(QJsonDocument::Compact) +
                      ",\"state\":" + StateJson() + "}";
    data.replace('<', "\\u003c");
    Reply reply;
    reply.type = "text/html; charset=utf-8";
    reply.body = file.readAll().replace("<!--LIVE-->", "<script type=\"application/json\" id=\"live-data\">" +
                                                           data + "</script>");
    reply.body.replace("<!--LANG-->", QLocale().bcp47Name().toLatin1());
    reply.cache = "no-store";
    return reply;
}

LiveHttp::Reply LiveHttp::Text(Status status, const QString& text)
{
    Reply reply;
    reply.status = status;
    reply.type = "text/plain; charset=utf-8";
    reply.body = text.toUtf8() + '\n';
    reply.cache = "no-store";
    return reply;
}

void LiveHttp::Send(QHttpServerResponder& responder, const QHttpServerRequest& request, const Reply& reply,
                    bool head) const
{
    const bool current = reply.status == Status::Ok && (!reply.etag.isEmpty() || reply.modified.isValid()) &&
                         ClientHasIt(request, reply.etag, reply.modified);
    responder.writeStatusLine(current ? Status::NotModified : reply.status);
    if (!current) {
        responder.writeHeader("Content-Type", reply.type);
        responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    }
    if (!reply.etag.isEmpty())
        responder.writeHeader("ETag", reply.etag);
    if (reply.modified.isValid())
        responder.writeHeader("Last-Modified", HttpDate(reply.modified));
    responder.writeHeader("Cache-Control", reply.cache);
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    if (reply.shared)
        responder.writeHeader("Access-Control-Allow-Origin", "*");
    if (reply.status == Status::MethodNotAllowed)
        responder.writeHeader("Allow", "GET, HEAD");
    if (reply.type.startsWith("text/html"))
        responder.writeHeader("Content-Security-Policy", "default-src 'self'; img-src 'self' data:");
    responder.writeBody(head || current ? QByteArray() : reply.body);
}

void LiveHttp::StartStream(QHttpServerResponder& responder, const QHttpServerRequest& request,
                           QTcpSocket* socket, bool head)
{
    if (!head && !m_guard->Streaming(socket)) {
        Send(responder, request,
             Text(Status::TooManyRequests,
                  QCoreApplication::translate("LiveServer", "Too many event streams from this address.")),
             false);
        socket->disconnectFromHost();
        return;
    }
    responder.writeStatusLine(Status::Ok);
    responder.writeHeader("Content-Type", "text/event-stream; charset=utf-8");
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("Access-Control-Allow-Origin", "*");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    if (head) {
        responder.writeBody(QByteArray());
        return;
    }
    // A browser that loses the stream asks again after this many milliseconds.
    responder.writeBody("retry: 2000\n\ndata: " + StateJson() + "\n\n");
    socket->flush();
    m_streams.append(socket);
}

void LiveHttp::SendToStreams(const QByteArray& bytes)
{
    m_streams.removeIf([&](const QPointer<QTcpSocket>& stream) {
        return !stream || !m_guard || !m_guard->Send(stream, bytes);
    });
}
