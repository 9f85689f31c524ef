#include "ClockEngine.h"
#include "ClockRules.h"
#include "ClockState.h"
#include "Fakes.h"
#include "GameRecord.h"

#include <QtTest>

#include <future>
#include <limits>
#include <random>
#include <sstream>
#include <thread>

namespace {
constexpr std::int64_t kMs = 1'000'000;

/// An engine over fakes, with both clocks at 300 s.
struct Rig {
    std::shared_ptr<ClockState> state = std::make_shared<ClockState>();
    std::shared_ptr<FakeShiftKeys> keys = std::make_shared<FakeShiftKeys>();
    std::shared_ptr<FakeTicker> ticker = std::make_shared<FakeTicker>();
    std::shared_ptr<FakeWindow> window = std::make_shared<FakeWindow>();
    std::shared_ptr<FakeCamera> camera = std::make_shared<FakeCamera>();
    ClockEngine engine{state, keys, ticker, window, camera};

    Rig() { state->m_fLeftPreset = state->m_fRightPreset = state->m_fLeftTime = state->m_fRightTime = 300.0; }
    void step(std::int64_t ns = 10 * kMs)
    {
        ticker->advance(ns);
        QVERIFY(engine.Step());
    }
    /// One iteration per character: L/R tap a key, l/r/b hold left/right/both down, - releases
    /// both, X presses Reset, . only steps.
    void play(const QString& script)
    {
        for (QChar c : script) {
            switch (c.unicode()) {
            case 'L': FakeShiftKeys::tap(keys->left); break;
            case 'R': FakeShiftKeys::tap(keys->right); break;
            case 'l': keys->left.down = true; break;
            case 'r': keys->right.down = true; break;
            case 'b': keys->left.down = keys->right.down = true; break;
            case '-': keys->left.down = keys->right.down = false; break;
            case 'X': ResetClocks(*state); break;
            }
            step();
        }
    }
};
} // namespace

class TestClock : public QObject {
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
        QTest::newRow("exactly one second") << 1.0 << "00:01";
        QTest::newRow("below zero") << -12.3 << "00:00";
        QTest::newRow("far below zero") << -1e12 << "00:00";
        QTest::newRow("ceiling") << 3599.0 << "59:59";
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
        QTest::newRow("just under the ceiling") << 3597.0 << -1 << 1 << 3598.0;
        QTest::newRow("up at the ceiling") << 3599.0 << -1 << 1 << 3599.0;
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

    void keys_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("plies");
        QTest::addColumn<bool>("armed");
        QTest::addColumn<bool>("leftRuns");
        QTest::addColumn<int>("lastPlies");
        QTest::newRow("no key: still waiting") << "..." << 0 << 0 << true << true << 0;
        QTest::newRow("left shift starts the right clock") << "L" << 1 << 0 << false << false << 0;
        QTest::newRow("right shift starts the left clock") << "R" << 1 << 0 << false << true << 0;
        // Left wins the start; the right key, still down, hands back in the same iteration.
        QTest::newRow("both at the start") << "b" << 1 << 1 << false << true << 0;
        QTest::newRow("both held switch every iteration") << "b.." << 1 << 3 << false << true << 0;
        QTest::newRow("a held start key is no ply") << "lllll" << 1 << 0 << false << false << 0;
        QTest::newRow("the waiting side's key does nothing") << "l-Lr..." << 1 << 1 << false << true << 0;
        QTest::newRow("a tap counts once") << "R.L.." << 1 << 1 << false << false << 0;
        QTest::newRow("a game of seven plies") << "RLRLRLRL" << 1 << 7 << false << false << 0;
        QTest::newRow("reset closes the game") << "RLRLX..." << 1 << 0 << true << true << 3;
        QTest::newRow("the next game") << "RLRX.R" << 2 << 0 << false << true << 2;
    }
    void keys()
    {
        QFETCH(QString, script);
        Rig rig;
        rig.play(script);
        QTEST(rig.state->m_nGame.load(), "game");
        QTEST(rig.state->m_nPlies.load(), "plies");
        QTEST(rig.state->m_bArmed.load(), "armed");
        QTEST(rig.state->m_bLeftRunning.load(), "leftRuns");
        QCOMPARE(rig.window->disables, rig.state->m_nGame.load());
        QTEST(rig.state->m_nLastGamePlies.load(), "lastPlies");
    }

    void charging()
    {
        Rig rig;
        rig.ticker->advance(5000 * kMs); // waiting costs nobody anything
        rig.play(QStringLiteral("R"));   // left runs from the start press on
        QCOMPARE(rig.state->m_fLeftTime.load(), 300.0);
        rig.step(250 * kMs);
        QCOMPARE(rig.state->m_fLeftTime.load(), 299.75);
        // A switching iteration's interval goes to the clock that has just started.
        FakeShiftKeys::tap(rig.keys->left);
        rig.step(12 * kMs);
        QCOMPARE(rig.state->m_fLeftTime.load(), 299.75);
        QCOMPARE(rig.state->m_fRightTime.load(), 300.0 - 0.012);
        // No floor: the flag falls and play goes on below zero.
        rig.step(400'000 * kMs);
        QCOMPARE(rig.state->m_fRightTime.load(), 300.0 - 0.012 - 400.0);
        QCOMPARE(rig.window->displays, 4);
        ResetClocks(*rig.state);
        rig.step(1000 * kMs);
        QCOMPARE(rig.state->m_fRightTime.load(), 300.0);
        QCOMPARE(rig.state->m_fLeftTime.load(), 300.0);
    }

    void picturesForEveryPlyButNotTheStart()
    {
        Rig rig;
        rig.window->takePictures = true;
        rig.step();
        QVERIFY(rig.engine.CameraOpen());
        rig.window->takePictures = false; // unchecking an open camera changes nothing
        rig.play(QStringLiteral("LRLR"));
        const std::vector<std::pair<int, int>> expected{{1, 1}, {1, 2}, {1, 3}};
        QCOMPARE(rig.camera->saved, expected);
        QCOMPARE(rig.camera->opens, 1);
        QCOMPARE(rig.camera->previews, 5);
    }

    void missingCameraIsReportedOnceThenRetriedWhenCheckedAgain()
    {
        Rig rig;
        rig.camera->present = false;
        rig.window->takePictures = true;
        rig.play(QStringLiteral("..LR"));
        QCOMPARE(rig.window->noCameraReports, 1);
        QCOMPARE(rig.state->m_nPlies.load(), 1); // the clocks work without pictures
        QVERIFY(rig.camera->saved.empty());
        rig.camera->present = true;
        rig.window->takePictures = true;
        rig.play(QStringLiteral("X"));
        QCOMPARE(rig.camera->opens, 2);
        QVERIFY(rig.engine.CameraOpen());
    }

    void theLoopEndsOnTheRunFlagOrWhenThePreviewStops()
    {
        Rig rig;
        rig.window->takePictures = true;
        rig.state->m_bThreadRun = true;
        std::thread worker([&] { ClockThreadProc(rig.engine, std::chrono::milliseconds(1)); });
        FakeShiftKeys::tap(rig.keys->left);
        QTRY_VERIFY(!rig.state->m_bArmed);
        rig.state->m_bThreadRun = false;
        worker.join();
        QCOMPARE(rig.camera->closes, 1);

        ResetClocks(*rig.state); // the camera opens again while the clocks wait
        rig.state->m_bThreadRun = true;
        rig.camera->stopPreview = true;
        ClockThreadProc(rig.engine, std::chrono::milliseconds(0)); // returns by itself
        QCOMPARE(rig.camera->closes, 2);
        QCOMPARE(rig.camera->opens, 2);
        QVERIFY(rig.state->m_bThreadRun); // the engine never lowers the run flag itself
    }

    void resetDuringAnIterationWaitsForIt()
    {
        // Reset pressed on the window's thread while the engine is half-way through a switching iteration
        // (here: inside its key query). Had it landed there, the iteration would charge the fresh time and
        // count a ply into the next game.
        struct ResetInsideQuery final : ShiftKeys {
            ClockState* state = nullptr;
            bool armed = false;
            std::future<void> reset;
            bool LeftPressed() override
            {
                if (armed && !reset.valid()) {
                    reset = std::async(std::launch::async, [s = state] { ResetClocks(*s); });
                    reset.wait_for(std::chrono::milliseconds(50));
                }
                return armed;
            }
            bool RightPressed() override { return !armed; }
        };
        auto state = std::make_shared<ClockState>();
        auto keys = std::make_shared<ResetInsideQuery>();
        keys->state = state.get();
        auto ticker = std::make_shared<FakeTicker>();
        ClockEngine engine(state, keys, ticker, std::make_shared<FakeWindow>());
        state->m_fLeftPreset = state->m_fRightPreset = state->m_fLeftTime = state->m_fRightTime = 300.0;
        QVERIFY(engine.Step()); // right starts the game: left runs
        keys->armed = true;
        ticker->advance(500 * kMs);
        QVERIFY(engine.Step()); // left presses; Reset comes in the middle
        keys->reset.wait();
        QVERIFY(state->m_bArmed);
        QCOMPARE(state->m_nPlies.load(), 0);
        QCOMPARE(state->m_nLastGamePlies.load(), 1);
        QCOMPARE(state->m_fLeftTime.load(), 300.0);
        QCOMPARE(state->m_fRightTime.load(), 300.0);
    }

    void longGameStaysExact()
    {
        // Two hours of irregular ~10 ms iterations with a switch now and then: the clocks must end
        // within 1 ms of the exact sums (single precision would be seconds off).
        Rig rig;
        rig.state->m_fLeftTime = rig.state->m_fRightTime = 3599.0;
        std::mt19937 random(42);
        std::uniform_int_distribution<std::int64_t> jitter(10'050'000, 10'150'000);
        std::int64_t spent[2] = {0, 0}; // nanoseconds, left and right
        rig.play(QStringLiteral("R"));
        for (std::int64_t t = 0, i = 0; t < 2LL * 3600 * 1000 * kMs; ++i) {
            const std::int64_t ns = jitter(random);
            t += ns;
            const bool switching = i % 2000 == 1999;
            if (switching)
                FakeShiftKeys::tap(rig.state->m_bLeftRunning ? rig.keys->left : rig.keys->right);
            // A switching iteration's time goes to the side that starts.
            spent[rig.state->m_bLeftRunning != switching ? 0 : 1] += ns;
            rig.step(ns);
        }
        QVERIFY(rig.state->m_nPlies > 300);
        QVERIFY(std::abs(rig.state->m_fLeftTime - (3599.0 - spent[0] / 1e9)) < 0.001);
        QVERIFY(std::abs(rig.state->m_fRightTime - (3599.0 - spent[1] / 1e9)) < 0.001);
    }

    void gameRecordReadsBackWhatWasWhole()
    {
        const PlyRecord first{1, true, 3.25, 296.75, 300.0, "game01move001a.jpg"};
        const PlyRecord second{2, false, 61.5, 296.75, 240.5, ""};
        std::stringstream file;
        file << GameRecordHeader() << '\n' << FormatGameRecordLine(first) << '\n' << "0\twhite\tleft\t1\t2\t3\tx\n"
             << FormatGameRecordLine(second) << '\n' << "3\twhite\tleft\t1.5\t29"; // cut short by a crash
        const std::vector<PlyRecord> read = ParseGameRecord(file);
        QCOMPARE(read.size(), size_t(2));
        QCOMPARE(QString::fromStdString(FormatGameRecordLine(read[0])), QString::fromStdString(FormatGameRecordLine(first)));
        QCOMPARE(QString::fromStdString(FormatGameRecordLine(read[1])), QString::fromStdString(FormatGameRecordLine(second)));
        QCOMPARE(QString::fromStdString(FormatGameRecordLine(second)), QStringLiteral("2\tblack\tright\t61.500\t296.750\t240.500\t"));
    }
};

QTEST_GUILESS_MAIN(TestClock)
#include "tst_clock.moc"
