#include "ClockEngine.h"
#include "ClockRules.h"
#include "ClockState.h"
#include "Fakes.h"
#include "TimeControl.h"

#include <QtTest>

namespace {
/// An engine over fakes whose clocks follow a time control (presets 300 s when it has no stages).
struct Rig {
    std::shared_ptr<ClockState> state = std::make_shared<ClockState>();
    std::shared_ptr<FakeShiftKeys> keys = std::make_shared<FakeShiftKeys>();
    std::shared_ptr<FakeTicker> ticker = std::make_shared<FakeTicker>();
    ClockEngine engine{state, keys, ticker, std::make_shared<FakeWindow>()};

    Rig(const QString& text, int type, int delta)
    {
        const TimeControl control = MakeTimeControl(text.toStdString(), type, delta);
        const double start = StartSeconds(control).value_or(300.0);
        ApplyTimeControl(*state, control, start, start);
    }
    void run(double seconds)
    {
        ticker->advance(static_cast<std::int64_t>(seconds * 1e9));
        QVERIFY(engine.Step());
    }
    /// The running side's player presses, in an iteration of no length.
    void press()
    {
        FakeShiftKeys::tap(state->m_bArmed || state->m_bLeftRunning ? keys->left : keys->right);
        run(0);
    }
    /// Black starts White's (the right) clock; then each turn takes its seconds.
    void play(const QList<double>& turns)
    {
        press();
        for (double t : turns) {
            run(t);
            press();
        }
    }
};
/// A column of the current test row (QFETCH as an expression).
template <class T> T Get(const char* column)
{
    return *static_cast<T*>(QTest::qData(column, qMetaTypeId<T>()));
}
} // namespace

class TestTimeControl : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stages"); // moves/seconds+bonus each, or the start of the error
        QTest::newRow("sudden death") << "300" << "0/300+0";
        QTest::newRow("increment") << "180+2" << "0/180+2";
        QTest::newRow("FIDE classical") << "40/5400+30:1800+30" << "40/5400+30 0/1800+30";
        QTest::newRow("three stages") << "40/7200:20/3600:900+30" << "40/7200+0 20/3600+0 0/900+30";
        QTest::newRow("empty") << "" << "a period is empty";
        QTest::newRow("words") << "five minutes" << "the seconds of";
        QTest::newRow("no bonus") << "300+" << "the bonus of";
        QTest::newRow("zero") << "0" << "the seconds of";
        QTest::newRow("huge") << "99999999999999" << "the seconds of";
        QTest::newRow("zero moves") << "0/300" << "the move count";
        QTest::newRow("rest of game first") << "1800:40/5400" << "only the last period";
        QTest::newRow("sandglass") << "*180" << "\"*180\" is not a clock";
    }
    void parse()
    {
        const QString stages = Get<QString>("stages");
        std::string error;
        const auto parsed = ParseTimeControl(Get<QString>("text").toStdString(), &error);
        QStringList got;
        for (const TimeStage& s : parsed.value_or(std::vector<TimeStage>{}))
            got << QStringLiteral("%1/%2+%3").arg(s.moves).arg(s.seconds).arg(s.bonus);
        QCOMPARE(parsed ? got.join(u' ') : QString::fromStdString(error).left(stages.size()), stages);
    }

    void wordsAndNotices_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QString>("words"); // then " ! " and the start of the notice, if any
        QTest::newRow("defaults") << "" << 0 << 12 << "5 min";
        QTest::newRow("increment") << "300+3" << 0 << 12 << "5 min + 3 s";
        QTest::newRow("stages") << "40/5400+30:1800+30" << 1 << 0 << "40 moves / 90 min, then 30 min, + 30 s";
        QTest::newRow("bonuses differ")
            << "40/7200:900+30" << 0 << 0 << "40 moves / 120 min, then 15 min + 30 s";
        QTest::newRow("simple delay") << "90+5" << 3 << 0 << "1 min 30 s + 5 s delay";
        QTest::newRow("Bronstein") << "" << 2 << 10 << "5 min + 10 s Bronstein delay";
        QTest::newRow("delta clamped") << "" << 1 << 99999 << "5 min + 59 min 59 s";
        QTest::newRow("unknown type") << "" << 7 << 12 << "5 min ! DELAY_TYPE 7 is not 0";
        QTest::newRow("bad control") << "3+2min" << 0 << 12 << "5 min ! TIME_CONTROL \"3+2min\" is not";
    }
    void wordsAndNotices()
    {
        const QString words = Get<QString>("words");
        std::string said;
        const TimeControl control =
            MakeTimeControl(Get<QString>("text").toStdString(), Get<int>("type"), Get<int>("delta"), &said);
        QString got = QString::fromStdString(DescribeTimeControl(control, 300.0, 300.0));
        if (!said.empty())
            got += " ! " + QString::fromStdString(said);
        QCOMPARE(got.left(words.size()), words);
        QCOMPARE(said.empty(), !words.contains(u'!'));
        QCOMPARE(DescribeTimeControl(TimeControl{}, 300.0, 180.0), std::string("5 min / 3 min")); // odds
    }

    void workedExamples_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QList<double>>("turns"); // White (right) first
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("right");
        QTest::newRow("no delay, as ever") << "" << 0 << 12 << QList<double>{5, 7} << 293.0 << 295.0;
        QTest::newRow("unknown type acts as none") << "" << 9 << 12 << QList<double>{5, 7} << 293.0 << 295.0;
        QTest::newRow("increment from move 1")
            << "180+2" << 0 << 0 << QList<double>{5, 7, 1} << 175.0 << 178.0;
        QTest::newRow("Fischer without stages") << "" << 1 << 3 << QList<double>{5, 7} << 296.0 << 298.0;
        // FIDE's Bronstein example: with a 10 s delay, 4 s used gives 4 s back, 15 s used gives 10 s back.
        QTest::newRow("Bronstein") << "" << 2 << 10 << QList<double>{4, 15} << 295.0 << 300.0;
        // Simple delay of 5 s: a move within the delay costs nothing; 8 s costs 3 s.
        QTest::newRow("simple delay") << "" << 3 << 5 << QList<double>{3, 8} << 297.0 << 300.0;
        QTest::newRow("delay as a stage's bonus") << "60+5" << 3 << 0 << QList<double>{3, 8} << 57.0 << 60.0;
        // Two moves in 60 s, then 30 s more, 1 s increment throughout; both sides cross the control.
        QTest::newRow("stage boundary")
            << "2/60+1:30+1" << 0 << 0 << QList<double>{2, 3, 4, 5, 6} << 84.0 << 81.0;
        QTest::newRow("repeating stage") << "1/60" << 0 << 0 << QList<double>{10, 20} << 100.0 << 110.0;
    }
    void workedExamples()
    {
        const QList<double> turns = Get<QList<double>>("turns");
        Rig rig(Get<QString>("text"), Get<int>("type"), Get<int>("delta"));
        rig.play(turns);
        QTEST(rig.state->m_fLeftTime.load(), "left");
        QTEST(rig.state->m_fRightTime.load(), "right");
        const PlyRecord& last = rig.engine.Record().back();
        QCOMPARE(int(rig.engine.Record().size()), turns.size());
        QVERIFY(last.used == turns.back() && last.leftTime == rig.state->m_fLeftTime);
        QCOMPARE(last.leftMoved, turns.size() % 2 == 0);
    }

    void movesToTheNextControl()
    {
        const TimeControl fide = MakeTimeControl("40/5400+30:1800+30", 0, 0);
        QVERIFY(StageAt(fide, 0).movesLeft == 40 && StageAt(fide, 39).movesLeft == 1);
        QVERIFY(StageAt(fide, 40).index == 1 && StageAt(fide, 40).movesLeft == 0);
        QCOMPARE(StageAt(MakeTimeControl("40/7200:20/3600", 0, 0), 75).movesLeft,
                 5); // the last stage repeats
    }

    void flagDuringADelay_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("before");  // seconds into the turn, not flagged yet
        QTest::addColumn<double>("flagged"); // seconds into the turn, flagged
        QTest::addColumn<double>("after");   // the clock after the press
        // Bronstein: the clock runs during the delay and falls at zero; the refund comes too late.
        QTest::newRow("Bronstein") << 2 << 1.5 << 2.5 << 2.0;
        // Simple: the delay's 5 s cost nothing, so the 2 s left last until 7 s into the turn.
        QTest::newRow("simple") << 3 << 6.5 << 7.5 << -0.5;
    }
    void flagDuringADelay()
    {
        Rig rig(QString(), Get<int>("type"), 5);
        rig.state->m_fRightTime = 2.0;
        rig.press();
        rig.run(Get<double>("before"));
        QVERIFY(!rig.state->m_bRightFlag);
        rig.run(Get<double>("flagged") - Get<double>("before"));
        QVERIFY(rig.state->m_bRightFlag);
        QCOMPARE(rig.state->m_nFirstFlag.load(), 2);
        rig.press();
        QTEST(rig.state->m_fRightTime.load(), "after");
        QVERIFY(rig.state->m_bRightFlag);        // remembered until Reset, even back above zero
        QCOMPARE(rig.state->m_nPlies.load(), 1); // and play goes on
    }

    void pauseAndArrows()
    {
        Rig rig("180+2", 0, 0);
        rig.press();
        QVERIFY(!SpinStoppedClock(*rig.state, false, -1, 60)); // a running clock is not the arrows'
        rig.run(10);
        QVERIFY(TogglePause(*rig.state));
        rig.run(100);
        FakeShiftKeys::tap(rig.keys->right); // a press while paused is not kept for the resume
        rig.run(0);
        QCOMPARE(rig.state->m_fRightTime.load(), 170.0);
        QVERIFY(SpinStoppedClock(*rig.state, false, -1, 60)); // an arbiter's correction
        QCOMPARE(rig.state->m_fRightTime.load(), 230.0);
        QCOMPARE(rig.state->m_fRightPreset.load(), 180.0);
        QVERIFY(TogglePause(*rig.state));
        rig.run(5);
        QCOMPARE(rig.state->m_fRightTime.load(), 225.0);
        QCOMPARE(rig.state->m_nPlies.load(), 0);
    }

    void resetInEveryState_data()
    {
        QTest::addColumn<int>("state");
        int index = 0;
        for (const char* state : {"waiting", "running", "paused", "flagged", "in a delay"})
            QTest::newRow(state) << index++;
    }
    void resetInEveryState()
    {
        const int state = Get<int>("state");
        Rig rig("60+5", 3, 0);
        if (state > 0)
            rig.play({2, 3});
        if (state == 2)
            TogglePause(*rig.state);
        if (state == 3)
            rig.run(100);
        if (state == 4) {
            rig.run(1);
            QCOMPARE(rig.state->m_fDelayLeft.load(), 4.0);
        }
        ResetClocks(*rig.state);
        ClockState& s = *rig.state;
        QVERIFY(s.m_bArmed && !s.m_bPaused && !s.m_bLeftFlag && !s.m_bRightFlag);
        QCOMPARE(s.m_nFirstFlag.load() + s.m_nLeftMoves + s.m_nRightMoves + s.m_nPlies, 0);
        QCOMPARE(s.m_fDelayLeft.load(), 0.0);
        QCOMPARE(s.m_fLeftTime.load() + s.m_fRightTime.load(), 120.0);
        rig.play({20});
        QCOMPARE(s.m_fRightTime.load(), 45.0); // a fresh game: the first stage's delay and time
        QCOMPARE(int(rig.engine.Record().size()), 1);
    }
};

QTEST_GUILESS_MAIN(TestTimeControl)
#include "tst_timecontrol.moc"
