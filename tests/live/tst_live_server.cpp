#include "Cases.h"
#include "LiveServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QtTest>

namespace {
using namespace std::chrono_literals;

struct Answer {
    int status = 0;                        ///< 0 when the server dropped the client
    QHash<QByteArray, QByteArray> headers; ///< by lower-case name
    QByteArray body;
};

// Sends one request on a connection of its own and reads what comes back until the server closes it.
Answer Ask(quint16 port, const QByteArray& request)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(request);
    QByteArray got;
    while (socket.waitForReadyRead(5000))
        got += socket.readAll();
    const qsizetype end = got.indexOf("\r\n\r\n");
    Answer answer{got.mid(9, 3).toInt(), {}, got.mid(end + 4)};
    for (const QByteArray& line : got.left(end).split('\n'))
        if (const qsizetype colon = line.indexOf(':'); colon > 0)
            answer.headers.insert(line.left(colon).toLower(), line.mid(colon + 1).trimmed());
    return answer;
}

Answer Get(quint16 port, const QByteArray& path, const QByteArray& headers = {})
{
    return Ask(port,
               "GET " + path + " HTTP/1.1\r\nHost: orvelle\r\nConnection: close\r\n" + headers + "\r\n");
}

// Asks for the event stream on the socket and waits for the status of its answer.
int StreamStatus(QTcpSocket& socket, quint16 port)
{
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write("GET /events HTTP/1.1\r\nHost: orvelle\r\n\r\n");
    while (!socket.canReadLine() && socket.waitForReadyRead(5000)) {
    }
    return socket.readLine().mid(9, 3).toInt();
}
} // namespace

/// The live server's routes, its event stream, and its bounds against hostile requests, over real
/// connections on 127.0.0.1.
class TestLiveServer : public QObject {
    Q_OBJECT
    // Short request times, so that the requests that are never finished are dropped while the test waits.
    LiveServer m_server{{200, 32 * 1024, 600ms, 256 * 1024}};
    quint16 m_port = 0;
    int m_published = 0;
    QTcpSocket m_stream; ///< a spectator's event stream, from the event test on
    QByteArray m_got;

    /// Publishes a state that can be told from those before: its game number counts up.
    QByteArray Publish(LiveState state)
    {
        state.game = ++m_published;
        m_server.Publish(state);
        return "\"game\":" + QByteArray::number(state.game) + ',';
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(m_server.Start(0, false), QString());
        m_port = quint16(m_server.Address().port());
        QCOMPARE(m_server.Address().host(), "127.0.0.1");
        LiveState state;
        state.white.name = "Zoë <Müller>";
        state.moves = QStringList{"e4", "e5", "Nf3"};
        state.lastMove = state.moves.last();
        const QByteArray game = Publish(state);
        m_server.SetGamePgn(1, "[White \"Zoë <Müller>\"]\n\n1. e4 e5 2. Nf3 *\n");
        QTRY_VERIFY(Get(m_port, "/state.json").body.contains(game));
    }

    void routes_data() { ORVELLE_CASES("live.cases", "routes"); }
    void routes()
    {
        const QByteArray method = Cell("method").toLatin1();
        const Answer answer =
            Ask(m_port, method + ' ' + Cell("path").toLatin1() + " HTTP/1.1\r\nConnection: close\r\n\r\n");
        QCOMPARE(answer.status, IntCell("status"));
        QCOMPARE(QString::fromLatin1(answer.headers["content-type"]), Cell("type"));
        QCOMPARE(answer.headers["x-content-type-options"], QByteArray("nosniff"));
        const QByteArray cache =
            answer.headers["cache-control"] + ' ' + answer.headers["access-control-allow-origin"];
        QCOMPARE(QString::fromLatin1(cache.trimmed()), Cell("cache"));
        QVERIFY2(QString::fromUtf8(answer.body).contains(Cell("holds")), answer.body.constData());
        QCOMPARE(answer.body.size(), method == "HEAD" ? 0 : answer.headers["content-length"].toInt());
    }

    void gamesAskedAgainOnlyWhenChanged()
    {
        const Answer first = Get(m_port, "/games.pgn");
        const QByteArray etag = first.headers["etag"],
                         date = "If-Modified-Since: " + first.headers["last-modified"] + "\r\n";
        QCOMPARE(Get(m_port, "/games.pgn", "If-None-Match: W/\"x\", " + etag + "\r\n").status, 304);
        QCOMPARE(Get(m_port, "/games.pgn", date).status, 304);
        QCOMPARE(Get(m_port, "/games.pgn", "If-Modified-Since: Mon, 01 Jan 2001 00:00:00 GMT\r\n").status,
                 200);
        QCOMPARE(Get(m_port, "/games.pgn", "If-None-Match: \"x\"\r\n" + date).status, 200);
        // A second game within the same second: a poller with the first answer must see it.
        m_server.SetGamePgn(2, "1. d4 d5 *");
        QTRY_VERIFY(Get(m_port, "/games.pgn").headers["etag"] != etag);
        const Answer second = Get(m_port, "/games.pgn", date);
        QCOMPARE(second.status, 200);
        // Game 2 after game 1, with the tags it lacked.
        QVERIFY(second.body.indexOf("1. e4") < second.body.indexOf("[Date \"????.??.??\"]\n[White \"?\"]\n"));
    }

    void clocks_data() { ORVELLE_CASES("live.cases", "clocks"); }
    void clocks()
    {
        const LiveState state{.white = {{}, 60000},
                              .black = {{}, 90000},
                              .running =
                                  LiveRunning(QStringList{"none", "white", "black"}.indexOf(Cell("running"))),
                              .paused = bool(IntCell("paused")),
                              .delayMs = IntCell("delay")};
        const QJsonObject json = ToJson(state, state.taken + 3s, 1234);
        QCOMPARE(json["white"]["ms"].toInteger(), IntCell("white"));
        QCOMPARE(json["black"]["ms"].toInteger(), IntCell("black"));
        QCOMPARE(json["delayMs"].toInteger(), IntCell("delayLeft"));
        QCOMPARE(json["running"].toString("none"), Cell("running"));
    }

    void eventsOnConnectAndAtEachChange()
    {
        // Asked for three times on one connection: still one stream.
        m_stream.connectToHost(QHostAddress::LocalHost, m_port);
        m_stream.write(QByteArray("GET /events HTTP/1.1\r\nHost: orvelle\r\n\r\n").repeated(3));
        QTRY_VERIFY(
            (m_got += m_stream.readAll()).contains("\"game\":" + QByteArray::number(m_published) + ','));
        QByteArrayList games;
        for (int ply = 1; ply <= 3; ++ply) {
            const QByteArray game =
                Publish({.ply = ply, .white = {{}, 60000}, .running = LiveRunning::White});
            games << game;
            QTRY_VERIFY((m_got += m_stream.readAll()).contains(game) && m_got.endsWith("}\n\n"));
            // Taken when published: the time left is nearly all there.
            const QJsonObject json =
                QJsonDocument::fromJson(m_got.mid(m_got.lastIndexOf("data: ") + 6)).object();
            QVERIFY(json["ply"].toInt() == ply && json["white"]["ms"].toInteger() > 59000);
        }
        // The last change came after every copy of those before it.
        QVERIFY(m_got.count("HTTP/1.1 200") == 1 && m_got.count(games[0]) == 1 && m_got.count(games[1]) == 1);
    }

    void streamsLeaveRoom_data() { ORVELLE_CASES("live.cases", "streams"); }
    void streamsLeaveRoom()
    {
        // Room for four connections, and four streams asked for from one address.
        LiveServer server{{4, 32 * 1024, 10s, 256 * 1024, IntCell("perAddress")}};
        QCOMPARE(server.Start(0, false), QString());
        const quint16 port = quint16(server.Address().port());
        std::vector<QTcpSocket> streams(4);
        int refused = 0;
        for (QTcpSocket& stream : streams)
            refused += StreamStatus(stream, port) == 429;
        QCOMPARE(refused, IntCell("refused"));
        QCOMPARE(Get(port, "/state.json").status, 200);
        QTRY_COMPARE(
            std::count_if(streams.begin(), streams.end(),
                          [](const QTcpSocket& s) { return s.state() == QAbstractSocket::UnconnectedState; }),
            qsizetype(IntCell("closed")));
    }

    void aStreamNotReadIsDropped()
    {
        // One stream per address, unread without end.
        LiveServer server{{200, 32 * 1024, 10s, qint64(1) << 40, 1, 300ms}};
        QCOMPARE(server.Start(0, false), QString());
        const quint16 port = quint16(server.Address().port());
        QTcpSocket deaf;
        deaf.setReadBufferSize(1);
        deaf.connectToHost(QHostAddress::LocalHost, port);
        deaf.write("GET /events HTTP/1.1\r\nHost: orvelle\r\n\r\n");
        QVERIFY(deaf.waitForReadyRead(5000));
        LiveState big;
        big.white.name = QString(8000, u'x');
        // The address gets a stream again once the one that does not read is gone.
        QTRY_VERIFY_WITH_TIMEOUT((server.Publish(big),
                                  [port] {
                                      QTcpSocket stream;
                                      return StreamStatus(stream, port) == 200;
                                  }()),
                                 30000);
    }

    void connectionKeptOrClosed_data() { ORVELLE_CASES("live.cases", "connections"); }
    void connectionKeptOrClosed()
    {
        LiveServer server; // the real request time: a connection left open stays for seconds
        QCOMPARE(server.Start(0, false), QString());
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(server.Address().port()));
        const QByteArray options = Cell("connection").toLatin1();
        const QByteArray request = "GET /state.json HTTP/" + Cell("version").toLatin1() + "\r\n" +
                                   (options.isEmpty() ? "" : "Connection: " + options + "\r\n") + "\r\n";
        QByteArray got;
        for (int asked = 1; asked <= (IntCell("closed") ? 1 : 2); ++asked) {
            socket.write(request);
            QTRY_VERIFY((got += socket.readAll()).count(" 200 OK\r\n") == asked && got.endsWith('}'));
        }
        if (IntCell("closed"))
            QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState);
        else
            QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);
    }

    void libraryWarningsOnceEach()
    {
        // Qt's server answers no WebSocket, and says so at each: once is enough.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("WebSocket"));
        QTest::failOnWarning(QRegularExpression("WebSocket"));
        for (int asked = 0; asked < 3; ++asked)
            Ask(m_port,
                "GET / HTTP/1.1\r\nHost: orvelle\r\nConnection: Upgrade\r\nUpgrade: websocket\r\n\r\n");
    }

    void hostileRequestsAreDropped()
    {
        QCOMPARE(Get(m_port, '/' + QByteArray(3000, 'a')).status, 414); // too long an address: refused
        QCOMPARE(Get(m_port, "/", "X-Padding: " + QByteArray(100 * 1024, 'x') + "\r\n").status, 0);
        QCOMPARE(Ask(m_port, "GET /state.json HTTP/1.1\r\nHost: orv").status, 0);
        QCOMPARE(Ask(m_port, "POST / HTTP/1.1\r\nContent-Length: 2000000000\r\n\r\nabc").status, 0);
        QCOMPARE(Get(m_port, "/state.json").status, 200);
        // The spectator of the event test, there since before them, still has every change.
        const QByteArray game = Publish({});
        QTRY_VERIFY((m_got += m_stream.readAll()).contains(game));
    }

    void manyIdleConnectionsLeaveRoom()
    {
        LiveServer server; // the real bounds: idle connections stay for seconds
        QCOMPARE(server.Start(0, false), QString());
        const quint16 port = quint16(server.Address().port());
        std::vector<QTcpSocket> idle(500);
        for (QTcpSocket& socket : idle) {
            socket.connectToHost(QHostAddress::LocalHost, port);
            QVERIFY(socket.waitForConnected(5000));
        }
        QCOMPARE(Get(port, "/state.json").status, 200);
        const QString error = LiveServer().Start(port, false);
        QVERIFY2(error.contains(QString::number(port)) && error.contains("in use"), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestLiveServer)
#include "tst_live_server.moc"
