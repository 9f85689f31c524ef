#include "ScoreSheet.h"
#include "Settings.h"
#include "TestMain.h"

/// What the game score takes from the settings and the game's record besides the moves.
class TestScoreSheet : public QObject {
    Q_OBJECT
private slots:
    void timeControl_data()
    {
        QTest::addColumn<QString>("timeControl");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("delayType");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stages as set")
            << "40/5400+30:1800+30" << 300 << 300 << 0 << 2 << "40/5400+30:1800+30";
        QTest::newRow("unreadable: the presets") << "40/" << 300 << 300 << 0 << 2 << "300";
        QTest::newRow("increment") << "" << 180 << 180 << 1 << 2 << "180+2";
        QTest::newRow("an increment of nothing") << "" << 180 << 180 << 1 << 0 << "180";
        QTest::newRow("a delay is no increment") << "" << 180 << 180 << 2 << 2 << "180";
        QTest::newRow("clocks apart: not known") << "" << 300 << 240 << 0 << 2 << "";
    }
    void timeControl()
    {
        QFETCH(QString, timeControl);
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(int, delayType);
        QFETCH(int, delta);
        Settings settings;
        settings.m_strTimeControl = timeControl;
        settings.m_fLeftPreset = left;
        settings.m_fRightPreset = right;
        settings.m_nDelayType = delayType;
        settings.m_nDelayDelta = delta;
        QTEST(QString::fromStdString(PgnTimeControl(settings)), "expected");
    }

    void flagFromTheRecord_data()
    {
        QTest::addColumn<double>("blackClock"); // Black's clock after ply 2, seconds
        QTest::addColumn<double>("whiteClock"); // White's clock after ply 3
        QTest::addColumn<int>("flag");          // 0 none, 1 White, 2 Black
        QTest::newRow("none") << 0.5 << 10.0 << 0;
        QTest::newRow("Black's, on the left") << 0.0 << 10.0 << 2;
        QTest::newRow("White's, on the right") << 10.0 << -1.0 << 1;
        QTest::newRow("the first of two") << -0.1 << -1.0 << 2;
    }
    void flagFromTheRecord()
    {
        QFETCH(double, blackClock);
        QFETCH(double, whiteClock);
        QFETCH(int, flag);
        // White on the right: the left key ends Black's turns.
        const std::vector<PlyRecord> record{{1, false, 2, 60, 58, {}},
                                            {2, true, 3, blackClock, 58, {}},
                                            {3, false, 4, blackClock, whiteClock, {}}};
        const ScoreSheet sheet(QDir::tempPath().toStdString() + "/", 99,
                               *ParseBoardCorners("0,1,1,1,1,0,0,0"), "");
        const PgnGame game = sheet.Game(record);
        QCOMPARE(game.flagFallen ? int(*game.flagFallen) + 1 : 0, flag);
        // The clock's own knowledge comes first.
        QCOMPARE(int(*sheet.Game(record, Colour::White).flagFallen), int(Colour::White));
    }
};

ORVELLE_TEST_MAIN(TestScoreSheet)
#include "tst_scoresheet.moc"
