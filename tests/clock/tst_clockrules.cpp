#include "ClockRules.h"
#include "ClockState.h"

#include <QtTest>

#include <cmath>
#include <limits>

class TestClockRules : public QObject {
    Q_OBJECT
private slots:
    void display_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("five minutes") << 300.0 << "05:00";
        QTest::newRow("fraction dropped") << 299.99 << "04:59";
        QTest::newRow("under a minute") << 59.5 << "00:59";
        QTest::newRow("last second") << 0.7 << "00:00";
        QTest::newRow("below zero") << -12.3 << "00:00";
        QTest::newRow("far below zero") << -1e12 << "00:00";
        QTest::newRow("ceiling") << 3599.0 << "59:59";
        QTest::newRow("exactly one second") << 1.0 << "00:01";
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "00:00";
    }
    void display()
    {
        QFETCH(double, seconds);
        QTEST(QString::fromStdString(FormatClockText(seconds)), "text");
    }

    void spin_data()
    {
        QTest::addColumn<double>("time");
        QTest::addColumn<int>("iDelta");
        QTest::addColumn<int>("step");
        QTest::addColumn<double>("expected");
        QTest::newRow("minute up") << 300.0 << -1 << 60 << 360.0;
        QTest::newRow("second down") << 300.0 << 1 << 1 << 299.0;
        QTest::newRow("minute down to the floor") << 30.0 << 1 << 60 << 1.0;
        QTest::newRow("second down at the floor") << 1.0 << 1 << 1 << 1.0;
        QTest::newRow("minute up to the ceiling") << 3570.0 << -1 << 60 << 3599.0;
        QTest::newRow("up at the ceiling") << 3599.0 << -1 << 1 << 3599.0;
        QTest::newRow("five minutes at once") << 300.0 << -5 << 60 << 600.0;
        QTest::newRow("huge delta down") << 300.0 << std::numeric_limits<int>::max() << 60 << 1.0;
        QTest::newRow("huge delta up") << 300.0 << std::numeric_limits<int>::min() << 60 << 3599.0;
    }
    void spin()
    {
        QFETCH(double, time);
        QFETCH(int, iDelta);
        QFETCH(int, step);
        std::atomic<double> clock{time}, preset{42.0};
        SpinClock(clock, preset, iDelta, step);
        QTEST(clock.load(), "expected");
        QTEST(preset.load(), "expected");
    }

    void resetRestoresPresetsAndClosesTheGame()
    {
        ClockState s;
        s.m_fLeftPreset = 360.0;
        s.m_fRightPreset = 180.0;
        s.m_fLeftTime = -3.0;
        s.m_fRightTime = 17.5;
        s.m_bArmed = false;
        s.m_bLeftRunning = false;
        s.m_nPlies = 7;
        s.m_nGame = 4;
        ResetClocks(s);
        QCOMPARE(s.m_fLeftTime.load(), 360.0);
        QCOMPARE(s.m_fRightTime.load(), 180.0);
        QVERIFY(s.m_bArmed && s.m_bLeftRunning);
        QCOMPARE(s.m_nLastGamePlies.load(), 7);
        QCOMPARE(s.m_nPlies.load(), 0);
        QCOMPARE(s.m_nGame.load(), 4);
    }
};

QTEST_GUILESS_MAIN(TestClockRules)
#include "tst_clockrules.moc"
