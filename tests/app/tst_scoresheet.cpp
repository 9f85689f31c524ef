#include "Cases.h"
#include "ScoreSheet.h"
#include "Settings.h"
#include "TestMain.h"

/// What the game score takes from the settings and the game's record besides the moves.
class TestScoreSheet : public QObject {
    Q_OBJECT
private slots:
    void timeControl_data() { ORVELLE_CASES("scoresheet.cases", "timeControl"); }
    void timeControl()
    {
        Settings settings;
        settings.m_strTimeControl = Cell("timeControl");
        settings.m_fLeftPreset = RealCell("left");
        settings.m_fRightPreset = RealCell("right");
        settings.m_nDelayType = IntCell("delayType");
        settings.m_nDelayDelta = IntCell("delta");
        QCOMPARE(QString::fromStdString(PgnTimeControl(settings)), Cell("expected"));
    }

    void flagFromTheRecord_data() { ORVELLE_CASES("scoresheet.cases", "flag"); }
    void flagFromTheRecord()
    {
        const double blackClock = RealCell("blackClock"), whiteClock = RealCell("whiteClock");
        // White on the right: the left key ends Black's turns.
        const std::vector<PlyRecord> record{{1, false, 2, 60, 58, {}},
                                            {2, true, 3, blackClock, 58, {}},
                                            {3, false, 4, blackClock, whiteClock, {}}};
        const ScoreSheet sheet(QDir::tempPath().toStdString() + "/", 99,
                               *ParseBoardCorners("0,1,1,1,1,0,0,0"), "");
        const PgnGame game = sheet.Game(record);
        QCOMPARE(game.flagFallen ? int(*game.flagFallen) + 1 : 0, IntCell("flag"));
        // The clock's own knowledge comes first.
        QCOMPARE(int(*sheet.Game(record, Colour::White).flagFallen), int(Colour::White));
    }
};

ORVELLE_TEST_MAIN(TestScoreSheet)
#include "tst_scoresheet.moc"
