#include "Cases.h"
#include "ScoreSheet.h"
#include "TimeControl.h"
#include <QtTest>

/// What the game score takes from the settings and the game's record besides the moves.
class TestScoreSheet : public QObject {
    Q_OBJECT
private slots:
    void timeControl_data() { ORVELLE_CASES("scoresheet.cases", "timeControl"); }
    void timeControl()
    {
        // As the game session sets the clocks: from the control's first stage, else from the presets.
        const TimeControl control =
            MakeTimeControl(Cell("timeControl").toStdString(), IntCell("delayType"), IntCell("delta"));
        const std::optional<double> start = StartSeconds(control);
        QCOMPARE(QString::fromStdString(
                     PgnTimeControl(control, start.value_or(RealCell("left")), start.value_or(RealCell("right")))),
                 Cell("expected"));
    }

    void flagFromTheRecord_data() { ORVELLE_CASES("scoresheet.cases", "flag"); }
    void flagFromTheRecord()
    {
        const double blackClock = RealCell("blackClock"), whiteClock = RealCell("whiteClock");
        const int flagged = IntCell("flagged"); // the ply whose record says its mover's flag had fallen
        // White on the right: the left key ends Black's turns.
        const std::vector<PlyRecord> record{{1, false, 2, 60, 58, {}, false},
                                            {2, true, 3, blackClock, 58, {}, flagged == 2},
                                            {3, false, 4, blackClock, whiteClock, {}, flagged == 3}};
        const ScoreSheet sheet(QDir::tempPath().toStdString() + "/", 99,
                               *ParseBoardCorners("0,1,1,1,1,0,0,0"), "");
        const PgnGame game = sheet.Game(record);
        QCOMPARE(game.flagFallen ? int(*game.flagFallen) + 1 : 0, IntCell("flag"));
        // The clock's own knowledge comes first.
        QCOMPARE(int(*sheet.Game(record, Colour::White).flagFallen), int(Colour::White));
    }
};

QTEST_GUILESS_MAIN(TestScoreSheet)
#include "tst_scoresheet.moc"
