#include "ClockEngine.h"
#include "ClockRules.h"
#include "ClockState.h"
#include "Fakes.h"

#include <QtTest>

#include <future>
#include <random>
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

    Rig()
    {
        state->m_fLeftPreset = state->m_fRightPreset = 300.0;
        state->m_fLeftTime = state->m_fRightTime = 300.0;
    }
    void step(std::int64_t ns = 10 * kMs)
    {
        ticker->advance(ns);
        QVERIFY(engine.Step());
    }
    void tap(FakeShiftKeys::Key& key, std::int64_t ns = 10 * kMs)
    {
        FakeShiftKeys::tap(key);
        step(ns);
    }
};
} // namespace

class TestClockEngine : public QObject {
    Q_OBJECT
private slots:
    void startPress_data()
    {
        QTest::addColumn<bool>("left");
        QTest::addColumn<bool>("right");
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("leftRuns");
        QTest::addColumn<int>("plies");
        QTest::newRow("left shift starts the right clock") << true << false << true << false << 0;
        QTest::newRow("right shift starts the left clock") << false << true << true << true << 0;
        // Left wins the start, so the right clock runs, and the right key, still down, hands back at once.
        QTest::newRow("both") << true << true << true << true << 1;
        QTest::newRow("no key: still waiting") << false << false << false << true << 0;
    }
    void startPress()
    {
        QFETCH(bool, left);
        QFETCH(bool, right);
        QFETCH(bool, started);
        Rig rig;
        rig.keys->left.down = left;
        rig.keys->right.down = right;
        rig.step();
        QCOMPARE(!rig.state->m_bArmed, started);
        QTEST(rig.state->m_bLeftRunning.load(), "leftRuns");
        QCOMPARE(rig.state->m_nGame.load(), started ? 1 : 0);
        QCOMPARE(rig.window->disables, started ? 1 : 0);
        QTEST(rig.state->m_nPlies.load(), "plies"); // the start press is no ply
    }

    void onlyTheRunningSidesKeySwitches()
    {
        Rig rig;
        rig.keys->left.down = true; // starts the game and stays held
        for (int i = 0; i < 5; ++i)
            rig.step();
        QCOMPARE(rig.state->m_nPlies.load(), 0);
        QVERIFY(!rig.state->m_bLeftRunning);
        rig.keys->left.down = false;

        rig.tap(rig.keys->left); // the other side's key
        QCOMPARE(rig.state->m_nPlies.load(), 0);
        rig.keys->right.down = true; // ends right's turn, then stays held
        for (int i = 0; i < 5; ++i)
            rig.step();
        QCOMPARE(rig.state->m_nPlies.load(), 1);
        QVERIFY(rig.state->m_bLeftRunning);
    }

    void bothKeysHeldSwitchEveryIteration()
    {
        Rig rig;
        rig.keys->left.down = rig.keys->right.down = true;
        rig.step(); // start, and the right side at once hands back
        QCOMPARE(rig.state->m_nPlies.load(), 1);
        rig.step();
        rig.step();
        QCOMPARE(rig.state->m_nPlies.load(), 3);
    }

    void tapShorterThanAPollCounts()
    {
        Rig rig;
        rig.tap(rig.keys->right);
        QVERIFY(!rig.state->m_bArmed);
        rig.step();
        rig.tap(rig.keys->left);
        QCOMPARE(rig.state->m_nPlies.load(), 1);
        rig.step(); // a tap counts once
        QCOMPARE(rig.state->m_nPlies.load(), 1);
    }

    void switchingIntervalIsChargedToTheSideThatStarts()
    {
        Rig rig;
        rig.tap(rig.keys->right); // left runs
        rig.state->m_fLeftTime = 100.0;
        const double right = rig.state->m_fRightTime;
        rig.tap(rig.keys->left, 12 * kMs);
        QCOMPARE(rig.state->m_fLeftTime.load(), 100.0);
        QCOMPARE(rig.state->m_fRightTime.load(), right - 0.012);
    }

    void startIterationChargesOnlyTimeSinceTheStart()
    {
        Rig rig;
        rig.ticker->advance(5000 * kMs); // waiting costs nobody anything
        rig.tap(rig.keys->left);
        QCOMPARE(rig.state->m_fRightTime.load(), 300.0);
        QCOMPARE(rig.state->m_fLeftTime.load(), 300.0);
        rig.step(250 * kMs);
        QCOMPARE(rig.state->m_fRightTime.load(), 299.75);
        QCOMPARE(rig.window->displays, 2);
    }

    void picturesForEveryPlyButNotTheStart()
    {
        Rig rig;
        rig.window->takePictures = true;
        rig.step();
        QVERIFY(rig.engine.CameraOpen());
        rig.window->takePictures = false; // unchecking an open camera changes nothing
        rig.tap(rig.keys->left);
        rig.tap(rig.keys->right);
        rig.tap(rig.keys->left);
        rig.tap(rig.keys->right);
        QCOMPARE(rig.state->m_nPlies.load(), 3);
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
        rig.step();
        rig.step();
        QCOMPARE(rig.window->noCameraReports, 1);
        QVERIFY(!rig.window->takePictures);
        rig.tap(rig.keys->left);
        rig.tap(rig.keys->right);
        QCOMPARE(rig.state->m_nPlies.load(), 1); // the clocks work without pictures
        QVERIFY(rig.camera->saved.empty());

        ResetClocks(*rig.state);
        rig.camera->present = true;
        rig.window->takePictures = true;
        rig.step();
        QCOMPARE(rig.camera->opens, 2);
        QVERIFY(rig.engine.CameraOpen());
    }

    void previewStopEndsTheEngineAndReleasesTheCamera()
    {
        Rig rig;
        rig.window->takePictures = true;
        rig.step();
        rig.camera->stopPreview = true;
        rig.state->m_bThreadRun = true;
        ClockThreadProc(rig.engine, std::chrono::milliseconds(0));
        QCOMPARE(rig.camera->closes, 1);
        QVERIFY(rig.state->m_bThreadRun); // the engine never lowers the run flag itself
    }

    void resetMidGameThenNextGame()
    {
        Rig rig;
        rig.tap(rig.keys->right);
        for (int i = 0; i < 7; ++i)
            rig.tap(i % 2 ? rig.keys->right : rig.keys->left);
        QCOMPARE(rig.state->m_nPlies.load(), 7);
        rig.state->m_fLeftPreset = 360.0;
        ResetClocks(*rig.state);
        QCOMPARE(rig.state->m_nLastGamePlies.load(), 7);
        QCOMPARE(rig.state->m_nPlies.load(), 0);
        QCOMPARE(rig.state->m_fLeftTime.load(), 360.0);
        rig.step(); // waiting again: time stands still
        QCOMPARE(rig.state->m_fLeftTime.load(), 360.0);
        rig.tap(rig.keys->right);
        QCOMPARE(rig.state->m_nGame.load(), 2);
        ResetClocks(*rig.state);
        ResetClocks(*rig.state);
        QCOMPARE(rig.state->m_nLastGamePlies.load(), 0);
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
        state->m_fLeftPreset = state->m_fRightPreset = 300.0;
        state->m_fLeftTime = state->m_fRightTime = 300.0;
        QVERIFY(engine.Step()); // right starts the game: left runs
        keys->armed = true;
        ticker->advance(500'000'000);
        QVERIFY(engine.Step()); // left presses; Reset comes in the middle
        keys->reset.wait();
        QVERIFY(state->m_bArmed);
        QCOMPARE(state->m_nPlies.load(), 0);
        QCOMPARE(state->m_nLastGamePlies.load(), 1);
        QCOMPARE(state->m_fLeftTime.load(), 300.0);
        QCOMPARE(state->m_fRightTime.load(), 300.0);
    }

    void flagFallRunsBelowZero()
    {
        Rig rig;
        rig.state->m_fRightTime = 0.5;
        rig.tap(rig.keys->left);    // right runs
        rig.step(1000 * kMs);
        QCOMPARE(rig.state->m_fRightTime.load(), -0.5);
        QCOMPARE(FormatClockText(rig.state->m_fRightTime), std::string("00:00"));
        rig.tap(rig.keys->right); // play goes on
        rig.step(2000 * kMs);
        rig.tap(rig.keys->left);
        rig.step(1000 * kMs);
        QVERIFY(rig.state->m_fRightTime < -1.5);
    }

    void longGameStaysExact()
    {
        // Two hours of irregular ~10 ms iterations with a switch now and then: the clocks must end
        // within 1 ms of the exact sums.
        Rig rig;
        rig.state->m_fLeftTime = rig.state->m_fRightTime = 3599.0;
        std::mt19937 random(42);
        std::uniform_int_distribution<std::int64_t> jitter(10'050'000, 10'150'000);
        std::int64_t spent[2] = {0, 0}; // nanoseconds, left and right
        rig.tap(rig.keys->right);
        const std::int64_t end = 2LL * 3600 * 1000 * kMs;
        for (std::int64_t t = 0, i = 0; t < end; ++i) {
            const std::int64_t ns = jitter(random);
            t += ns;
            const bool switching = i % 2000 == 1999;
            // A switching iteration's time goes to the side that starts.
            const bool leftAfter = switching ? !rig.state->m_bLeftRunning : rig.state->m_bLeftRunning.load();
            spent[leftAfter ? 0 : 1] += ns;
            if (switching)
                FakeShiftKeys::tap(rig.state->m_bLeftRunning ? rig.keys->left : rig.keys->right);
            rig.ticker->advance(ns);
            rig.engine.Step();
        }
        QVERIFY(rig.state->m_nPlies > 300);
        QVERIFY(std::abs(rig.state->m_fLeftTime - (3599.0 - spent[0] / 1e9)) < 0.001);
        QVERIFY(std::abs(rig.state->m_fRightTime - (3599.0 - spent[1] / 1e9)) < 0.001);
    }

    void threadStopsOnTheRunFlag()
    {
        Rig rig;
        rig.state->m_bThreadRun = true;
        std::atomic<bool> ended{false};
        std::thread worker([&] {
            ClockThreadProc(rig.engine, std::chrono::milliseconds(1));
            ended = true;
        });
        FakeShiftKeys::tap(rig.keys->left);
        QTRY_VERIFY(!rig.state->m_bArmed);
        rig.state->m_bThreadRun = false;
        QTRY_VERIFY(ended);
        worker.join();
    }
};

QTEST_GUILESS_MAIN(TestClockEngine)
#include "tst_clockengine.moc"
