#include "ClockState.h"
#include "Fakes.h"
#include "GameSession.h"
#include "LiveFeed.h"
#include "SettingsFile.h"

#include <QtTest>

/// What spectators are shown of the session: whose clock is whose, which runs, pauses and flags, and the
/// game's details.
class TestLiveFeed : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void theStateFollowsTheSession()
    {
        const QString file = m_dir.filePath("feed.conf");
        WriteSettingsFile(file, {{"LTIME", "300"}, {"RTIME", "180"}});
        auto keys = std::make_shared<FakeShiftKeys>();
        auto ticker = std::make_shared<FakeTicker>();
        GameSession session({keys, ticker, std::make_shared<SettingsStore>(file), {}});
        LiveFeed feed(session, m_dir.filePath("broadcast-token"));
        session.SetDetails({.white = "Alice", .black = "Bob", .round = "3"});
        session.Start();
        QCOMPARE(feed.State().running, LiveRunning::None);

        FakeShiftKeys::tap(keys->right); // the left clock runs, and it is White's
        QTRY_VERIFY(!session.Clock().m_bArmed);
        ticker->advance(2'500'000'000);
        QTRY_VERIFY(session.Clock().m_fLeftTime < 298.0);
        LiveState s = feed.State();
        QVERIFY(s.running == LiveRunning::White && !s.paused && s.white.name == "Alice" && s.round == "3");
        QVERIFY(s.white.ms == 297500 && s.black.ms == 180000);
        QCOMPARE(s.timeControl, QStringLiteral("5 min / 3 min"));

        FakeShiftKeys::tap(keys->left);
        QTRY_COMPARE(session.Clock().m_nPlies.load(), 1);
        QVERIFY(session.TogglePause());
        s = feed.State();
        QVERIFY(s.paused && s.running == LiveRunning::Black && s.ply == 1);
        QVERIFY(session.TogglePause());
        ticker->advance(200'000'000'000); // Black's three minutes run out
        QTRY_VERIFY(session.Clock().m_bRightFlag);
        s = feed.State();
        QVERIFY(s.black.flag && !s.white.flag && s.black.ms < 0);
        session.Reset();
        QCOMPARE(feed.State().running, LiveRunning::None);
        QCOMPARE(feed.State().ply, 1); // the game that has just ended
    }
};

QTEST_GUILESS_MAIN(TestLiveFeed)
#include "tst_live_feed.moc"
