#include "BroadcastPusher.h"
#include "BroadcastToken.h"
#include "Cases.h"
#include "PgnExtract.h"
#include "PgnTags.h"

#include <QAbstractHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QMetaEnum>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

namespace {
using namespace std::chrono_literals;
const QByteArray kToken = "lip_s3cret";

/// The round's push address, served by the test on 127.0.0.1: it keeps every request and answers as
/// the test says, or not at all.
class PushServer : public QAbstractHttpServer {
public:
    QByteArrayList heads, bodies; ///< of each request: its method, path, authorization and type; its body
    QList<std::chrono::steady_clock::time_point> times; ///< when each request came
    int status = 200;
    QByteArray reply = R"({"games":[{"tags":{"White":"A"},"moves":1}]})";
    bool silent = false;
    QByteArray location; ///< sent with the answer when not empty
    QTcpServer* tcp = new QTcpServer(this);
    QUrl url;

    PushServer()
    {
        tcp->listen(QHostAddress::LocalHost);
        bind(tcp);
        url = QUrl(QString("http://127.0.0.1:%1/api/broadcast/round/r0und1d/push").arg(tcp->serverPort()));
    }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override
    {
        const bool post = request.method() == QHttpServerRequest::Method::Post;
        heads.append((post ? "POST " : "other ") + request.url().path().toUtf8() + ' ' +
                     request.value("Authorization") + ' ' + request.value("Content-Type"));
        bodies.append(request.body());
        times.append(std::chrono::steady_clock::now());
        if (silent)
            return true;
        QHttpServerResponder responder = makeResponder(request, socket);
        responder.writeStatusLine(QHttpServerResponder::StatusCode(status));
        responder.writeHeader("Content-Type", "application/json");
        responder.writeHeader("Content-Length", QByteArray::number(reply.size()));
        if (!location.isEmpty())
            responder.writeHeader("Location", location);
        responder.writeBody(reply);
        return true;
    }
    void missingHandler(const QHttpServerRequest&, QTcpSocket*) override {}
};

// The game after the first plies, lacking some of the tags the service requires.
QString Pgn(int plies)
{
    const QStringList moves{"1. e4", "e5", "2. Nf3", "Nc6", "3. Bb5", "a6", "4. Ba4", "Nf6"};
    return QString("[Event \"Open\"]\n[White \"Zoë\"]\n[Black \"Bruno\"]\n[PlyCount \"%1\"]\n\n%2 *\n")
        .arg(QString::number(plies), moves.mid(0, plies).join(u' '));
}
} // namespace

/// The push to a broadcast round against a push server of the test's own, and the token's file.
class TestLivePush : public QObject {
    Q_OBJECT
    const BroadcastPusher::Timing m_quick{50ms, 400ms, 300ms};

private slots:
    void failuresRetriedNewestWins()
    {
        PushServer server;
        BroadcastPusher pusher(server.url, kToken, m_quick);
        QString said; // every status so far
        connect(&pusher, &BroadcastPusher::StatusChanged, this,
                [&](auto, const QString& text) { said += text + '\n'; });
        server.status = 500;
        pusher.Push(1, Pgn(1));
        QTRY_VERIFY(server.bodies.size() >= 3 && said.contains("retrying"));
        QVERIFY(server.times[1] - server.times[0] >= 50ms &&
                server.times[2] - server.times[1] >= 100ms); // back-off
        pusher.Push(1, Pgn(2));
        server.tcp->close(); // refused from now on, and the open connections end
        for (QTcpSocket* socket : server.tcp->findChildren<QTcpSocket*>())
            socket->abort();
        pusher.Push(1, Pgn(3));
        QTRY_VERIFY(said.contains("refused"));
        server.silent = true;
        QVERIFY(server.tcp->listen(QHostAddress::LocalHost, quint16(server.url.port())));
        const qsizetype answered = server.bodies.size();
        pusher.Push(1, Pgn(4));
        QTRY_VERIFY(server.bodies.size() >= answered + 2 && said.contains("no answer within 0.3 s"));
        pusher.Push(1, Pgn(5));
        server.silent = false;
        server.status = 200;
        pusher.Push(1, Pgn(6));
        QTRY_VERIFY(said.endsWith("Broadcast: game 1 sent\n"));
        QTRY_COMPARE(QString::fromUtf8(server.bodies.last()), WithRequiredTags(Pgn(6)));
        QCOMPARE(BroadcastPusher::CheckAddress(QUrl("https://lichess.org/api/broadcast/round/x/push")),
                 QString());

        QByteArray all;
        int plies = 0;
        for (const QByteArray& head : server.heads)
            QCOMPARE(head, "POST /api/broadcast/round/r0und1d/push Bearer " + kToken + " text/plain");
        const QRegularExpression tags("^\\[(Event|Site|Date|White|Black|Result) \"",
                                      QRegularExpression::MultilineOption);
        for (const QByteArray& body : server.bodies) {
            QCOMPARE(QString::fromUtf8(body).count(tags), 6);
            const int now = body.mid(body.indexOf("PlyCount \"") + 10, 1).toInt();
            QVERIFY2(now >= plies, "an older game was sent after a newer one");
            plies = now;
            all += body + '\n';
        }
        QCOMPARE(PgnExtractReport(all), QString());
        QVERIFY(!said.contains(QString::fromLatin1(kToken)));
    }

    void answers_data() { ORVELLE_CASES("live.cases", "answers"); }
    void answers()
    {
        PushServer server, elsewhere;
        server.status = IntCell("status");
        server.reply = Cell("reply").toUtf8();
        if (Cell("to") == "elsewhere")
            server.location = elsewhere.url.toEncoded();
        BroadcastPusher pusher(Cell("address").isEmpty() ? server.url : QUrl(Cell("address")), kToken,
                               m_quick);
        QSignalSpy statuses(&pusher, &BroadcastPusher::StatusChanged);
        pusher.Push(1, Pgn(2));
        QVERIFY(statuses.wait(5000));
        const int state = int(statuses[0][0].value<BroadcastPusher::State>());
        QCOMPARE(QMetaEnum::fromType<BroadcastPusher::State>().valueToKey(state), qPrintable(Cell("state")));
        QVERIFY2(statuses[0][1].toString().contains(Cell("says")), qPrintable(statuses[0][1].toString()));
        QCOMPARE(elsewhere.heads, QByteArrayList()); // neither the token nor the game went there
    }

    void requiredTags_data() { ORVELLE_CASES("live.cases", "tags"); }
    void requiredTags()
    {
        const QString pgn = Cell("pgn").replace(u'\'', u'"');
        const QString completed = WithRequiredTags(pgn);
        for (const QString& tag : Cell("tags").split(u' ')) {
            const QString line = QString("[%1 \"%2\"]\n").arg(tag.section(u'=', 0, 0), tag.section(u'=', 1));
            QCOMPARE(completed.count(line), 1);
        }
        QVERIFY(completed.endsWith(pgn.mid(pgn.lastIndexOf(u'\n'))));
        QCOMPARE(completed == pgn, QByteArray(QTest::currentDataTag()) == "complete");
    }

    void tokenFile_data() { ORVELLE_CASES("live.cases", "token modes"); }
    void tokenFile()
    {
        QTemporaryDir dir;
        const QString path = BroadcastTokenPath(dir.filePath("Orvelle.conf"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.setPermissions(QFile::Permissions(0x6644)));
        old.close();
        QCOMPARE(WriteBroadcastToken(path, kToken), QString());
        QCOMPARE(QFileInfo(path).permissions(), QFile::Permissions(0x6600));
        const int mode = Cell("mode").toInt(nullptr, 16); // the owner's bits are the user's
        QVERIFY(QFile::setPermissions(path, QFile::Permissions(mode | (mode & 0xf00) << 4)));
        const BroadcastToken read = ReadBroadcastToken(path);
        QCOMPARE(read.token, IntCell("refused") ? QByteArray() : kToken);
        QCOMPARE(read.error.contains("chmod 600 " + path), bool(IntCell("refused")));
        QVERIFY(!read.error.contains(QString::fromLatin1(kToken)));
    }
};

QTEST_GUILESS_MAIN(TestLivePush)
#include "tst_live_push.moc"
