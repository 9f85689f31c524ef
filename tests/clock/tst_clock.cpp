#include "Cases.h"
#include "EngineRig.h"

#include <QtTest>
#include <future>
#include <random>
#include <thread>

namespace {
constexpr std::int64_t kMs = EngineRig::kMs;
using Rig = EngineRig;
} // namespace

class TestClock : public QObject {
    Q_OBJECT
private slots:
    void display_data() { ORVELLE_CASES("clock.cases", "display"); }
    void display() { QCOMPARE(QString::fromStdString(FormatClockText(RealCell("seconds"))), Cell("text")); }

    void spin_data() { ORVELLE_CASES("clock.cases", "spin"); }
    void spin()
    {
        std::atomic<double> clock{RealCell("time")}, preset{42.0};
        SpinClock(clock, preset, IntCell("delta"), IntCell("step"));
        QCOMPARE(clock.load(), RealCell("expected"));
        QCOMPARE(preset.load(), RealCell("expected"));
    }

    void keys_data() { ORVELLE_CASES("clock.cases", "keys"); }
    void keys()
    {
        Rig rig;
        rig.play(Cell("script"));
        QCOMPARE(rig.state->m_nGame.load(), IntCell("game"));
        QCOMPARE(rig.state->m_nPlies.load(), IntCell("plies"));
        QCOMPARE(int(rig.state->m_bArmed.load()), IntCell("armed"));
        QCOMPARE(int(rig.state->m_bLeftRunning.load()), IntCell("leftRuns"));
        QCOMPARE(rig.window->disables, rig.state->m_nGame.load());
        QCOMPARE(rig.state->m_nLastGamePlies.load(), IntCell("lastPlies"));
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
        QVERIFY(rig.engine->CameraOpen());
        rig.window->takePictures = false; // unchecking an open camera changes nothing
        rig.play(QStringLiteral("LRLR"));
        const std::vector<std::pair<int, int>> expected{{1, 1}, {1, 2}, {1, 3}};
        QCOMPARE(rig.camera->saved, expected);
        QCOMPARE(rig.camera->opens, 1);
        QCOMPARE(rig.camera->previews, 5);
    }

    void theLoopEndsOnTheRunFlagOnly()
    {
        Rig rig;
        rig.window->takePictures = true;
        rig.state->m_bThreadRun = true;
        std::thread worker([&] { ClockThreadProc(*rig.engine, std::chrono::milliseconds(1)); });
        FakeShiftKeys::tap(rig.keys->left);
        QTRY_VERIFY(!rig.state->m_bArmed);
        rig.state->m_bThreadRun = false;
        worker.join();
        QCOMPARE(rig.camera->closes, 1);
        QVERIFY(!rig.state->m_bThreadRun); // the engine never raises the run flag itself
    }

    void aCameraThatStopsClosesAloneAndTheGameGoesOn()
    {
        Rig rig;
        rig.window->takePictures = true;
        rig.play(QStringLiteral("LR"));
        rig.camera->stopPreview = true; // a key typed into its picture, or its source ended
        rig.step();
        QCOMPARE(rig.camera->closes, 1);
        QCOMPARE(rig.window->cameraClosings, 1);
        rig.camera->stopPreview = false;
        rig.play(QStringLiteral("L.R"));
        QCOMPARE(rig.state->m_nPlies.load(), 3); // the clocks went on, without pictures
        QCOMPARE(rig.camera->saved.size(), size_t(1));
        ResetClocks(*rig.state);
        rig.window->takePictures = true; // ticked again for the next game: the camera opens again
        rig.step();
        QCOMPARE(rig.camera->opens, 2);
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
        engine.Step(); // right starts the game: left runs
        keys->armed = true;
        ticker->advance(500 * kMs);
        engine.Step(); // left presses; Reset comes in the middle
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
};

QTEST_GUILESS_MAIN(TestClock)
#include "tst_clock.moc"
