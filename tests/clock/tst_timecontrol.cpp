#include "Cases.h"
#include "EngineRig.h"
#include "TimeControl.h"

#include <QtTest>

namespace {
/// The engine's clocks following a time control (both at 300 s when it has no stages).
struct Rig : EngineRig {
    Rig(const QString& text, int type, int delta)
    {
        const TimeControl control = MakeTimeControl(text.toStdString(), type, delta);
        const double start = StartSeconds(control).value_or(300.0);
        QVERIFY(ApplyTimeControl(*state, control, start, start)); // the clocks wait: the control is taken
    }
};
} // namespace

class TestTimeControl : public QObject {
    Q_OBJECT
private slots:
    void parse_data() { ORVELLE_CASES("timecontrol.cases", "parse"); }
    void parse()
    {
        const QString stages = Cell("stages");
        std::string error;
        const auto parsed = ParseTimeControl(Cell("text").toStdString(), &error);
        QStringList got;
        for (const TimeStage& s : parsed.value_or(std::vector<TimeStage>{}))
            got << QStringLiteral("%1/%2+%3").arg(s.moves).arg(s.seconds).arg(s.bonus);
        QCOMPARE(parsed ? got.join(u' ') : QString::fromStdString(error).left(stages.size()), stages);
    }

    void wordsAndNotices_data() { ORVELLE_CASES("timecontrol.cases", "words"); }
    void wordsAndNotices()
    {
        const QString words = Cell("words");
        std::string said;
        const TimeControl control =
            MakeTimeControl(Cell("text").toStdString(), IntCell("type"), IntCell("delta"), &said);
        const double clocks = StartSeconds(control).value_or(300.0); // as the window sets them
        QString got = QString::fromStdString(DescribeTimeControl(control, clocks, clocks));
        if (!said.empty())
            got += " ! " + QString::fromStdString(said);
        QCOMPARE(got.left(words.size()), words);
        QCOMPARE(said.empty(), !words.contains(u'!'));
        QCOMPARE(DescribeTimeControl(TimeControl{}, 300.0, 180.0), std::string("5 min / 3 min")); // odds
    }

    void workedExamples_data() { ORVELLE_CASES("timecontrol.cases", "worked"); }
    void workedExamples()
    {
        QList<double> turns;
        for (const QString& t : Cell("turns").split(u' '))
            turns << t.toDouble();
        Rig rig(Cell("text"), IntCell("type"), IntCell("delta"));
        rig.playTurns(turns);
        QCOMPARE(rig.state->m_fLeftTime.load(), RealCell("left"));
        QCOMPARE(rig.state->m_fRightTime.load(), RealCell("right"));
        const PlyRecord& last = rig.engine->Record().back();
        QCOMPARE(int(rig.engine->Record().size()), turns.size());
        QVERIFY(last.used == turns.back() && last.leftTime == rig.state->m_fLeftTime);
        QCOMPARE(last.leftMoved, turns.size() % 2 == 0);
        QVERIFY(!last.flagged);
    }

    void movesToTheNextControl()
    {
        const TimeControl fide = MakeTimeControl("40/5400+30:1800+30", 0, 0);
        QVERIFY(StageAt(fide, 0).movesLeft == 40 && StageAt(fide, 39).movesLeft == 1);
        QVERIFY(StageAt(fide, 40).index == 1 && StageAt(fide, 40).movesLeft == 0);
        // The last stage repeats.
        QCOMPARE(StageAt(MakeTimeControl("40/7200:20/3600", 0, 0), 75).movesLeft, 5);
    }

    void flagDuringADelay_data() { ORVELLE_CASES("timecontrol.cases", "flag"); }
    void flagDuringADelay()
    {
        Rig rig(QString(), IntCell("type"), 5);
        rig.state->m_fRightTime = 2.0;
        rig.press();
        rig.run(RealCell("before"));
        QVERIFY(!rig.state->m_bRightFlag);
        rig.run(RealCell("flagged") - RealCell("before"));
        QVERIFY(rig.state->m_bRightFlag);
        QCOMPARE(rig.state->m_nFirstFlag.load(), 2);
        rig.press();
        QCOMPARE(rig.state->m_fRightTime.load(), RealCell("after"));
        QVERIFY(rig.state->m_bRightFlag);             // remembered until Reset, even back above zero
        QVERIFY(rig.engine->Record().back().flagged); // and in the record, whatever the clock shows now
        QCOMPARE(rig.state->m_nPlies.load(), 1);      // and play goes on
    }

    void arrowsSetHoursUnderAControl()
    {
        // FIDE classical starts at 90:00; the arrows go on to 9:59:59, and without a control stop at 59:59.
        for (const auto& [control, from, ceiling] :
             {std::tuple{"40/5400+30:1800+30", 5400.0, 35999.0}, std::tuple{"", 3540.0, 3599.0}}) {
            Rig rig(control, 0, 0);
            rig.state->m_fLeftTime = from;
            QVERIFY(SpinStoppedClock(*rig.state, true, -1, 60));
            QCOMPARE(rig.state->m_fLeftTime.load(), std::min(from + 60, ceiling));
            QVERIFY(SpinStoppedClock(*rig.state, true, -1000, 60));
            QCOMPARE(rig.state->m_fLeftPreset.load(), ceiling);
        }
    }

    void pauseAndArrows()
    {
        Rig rig("180+2", 0, 0);
        rig.press();
        QVERIFY(!SpinStoppedClock(*rig.state, false, -1, 60));         // a running clock is not the arrows'
        QVERIFY(!ApplyTimeControl(*rig.state, TimeControl{}, 60, 60)); // nor a new control's
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

    void resetInEveryState_data() { ORVELLE_CASES("timecontrol.cases", "reset"); }
    void resetInEveryState()
    {
        const int state = IntCell("state");
        Rig rig("60+5", 3, 0);
        if (state > 0)
            rig.playTurns({2, 3});
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
        rig.playTurns({20});
        QCOMPARE(s.m_fRightTime.load(), 45.0); // a fresh game: the first stage's delay and time
        QCOMPARE(int(rig.engine->Record().size()), 1);
    }
};

QTEST_GUILESS_MAIN(TestTimeControl)
#include "tst_timecontrol.moc"
