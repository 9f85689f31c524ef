// Clock error after a simulated two-hour game: irregular ~10 ms iterations (10.05 to 10.15 ms, a
// sleep's usual overshoot) on a hand-driven time source, a switch every ~20 s. Prints the error of
// the engine's clocks against the exact sums, and what single-precision times would have drifted.
// Then the same for a staged game with increments.
#include "ClockEngine.h"
#include "ClockRules.h"
#include "ClockState.h"
#include "Fakes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace {
/// A 40/5400+30:1800+30 game of 120 moves a side on the same irregular iterations, each turn 10 to
/// 60 s: the clocks against exact sums of the charges, the increments and the second stage's time.
double StagedGameError()
{
    auto state = std::make_shared<ClockState>();
    auto keys = std::make_shared<FakeShiftKeys>();
    auto ticker = std::make_shared<FakeTicker>();
    ClockEngine engine(state, keys, ticker, std::make_shared<FakeWindow>());
    const TimeControl control = MakeTimeControl("40/5400+30:1800+30", 0, 0);
    ApplyTimeControl(*state, control, 5400.0, 5400.0);
    std::mt19937 random(11);
    std::uniform_int_distribution<long long> jitter(10'050'000, 10'150'000);
    std::uniform_int_distribution<int> turnSteps(1000, 6000);
    long long spentNs[2] = {0, 0}; // left, right
    FakeShiftKeys::tap(keys->left);
    engine.Step();
    for (int ply = 1; ply <= 240; ++ply) {
        for (int i = turnSteps(random); i > 0; --i) {
            const long long ns = jitter(random);
            spentNs[state->m_bLeftRunning ? 0 : 1] += ns;
            ticker->advance(ns);
            engine.Step();
        }
        FakeShiftKeys::tap(state->m_bLeftRunning ? keys->left : keys->right);
        const long long ns = jitter(random);
        spentNs[state->m_bLeftRunning ? 1 : 0] +=
            ns; // a switching iteration is charged to the side that starts
        ticker->advance(ns);
        engine.Step();
    }
    // 120 moves each: 120 increments and, at move 40, the second stage's 30 minutes.
    const double expected[2] = {5400.0 + 1800.0 + 120 * 30.0 - spentNs[0] / 1e9,
                                5400.0 + 1800.0 + 120 * 30.0 - spentNs[1] / 1e9};
    const double errLeft = state->m_fLeftTime - expected[0], errRight = state->m_fRightTime - expected[1];
    std::printf("staged game 40/5400+30:1800+30: %d plies, error left %+.9f s right %+.9f s (target: under "
                "0.001 s)\n",
                state->m_nPlies.load(), errLeft, errRight);
    return std::max(std::abs(errLeft), std::abs(errRight));
}
} // namespace

int main()
{
    auto state = std::make_shared<ClockState>();
    auto keys = std::make_shared<FakeShiftKeys>();
    auto ticker = std::make_shared<FakeTicker>();
    ClockEngine engine(state, keys, ticker, std::make_shared<FakeWindow>());
    state->m_fLeftTime = state->m_fRightTime = 3599.0;
    float floatTimes[2] = {3599.0f, 3599.0f};

    std::mt19937 random(7);
    std::uniform_int_distribution<long long> jitter(10'050'000, 10'150'000);
    long long exact[2] = {0, 0};
    FakeShiftKeys::tap(keys->right);
    engine.Step();
    const long long end = 2LL * 3600 * 1'000'000'000;
    long long iterations = 0;
    for (long long t = 0; t < end; ++iterations) {
        const long long ns = jitter(random);
        t += ns;
        const bool switching = iterations % 2000 == 1999;
        const int side = (switching ? !state->m_bLeftRunning : state->m_bLeftRunning.load()) ? 0 : 1;
        exact[side] += ns;
        floatTimes[side] -= static_cast<float>(ns / 1e9);
        if (switching)
            FakeShiftKeys::tap(state->m_bLeftRunning ? keys->left : keys->right);
        ticker->advance(ns);
        engine.Step();
    }
    const double errLeft = state->m_fLeftTime - (3599.0 - exact[0] / 1e9);
    const double errRight = state->m_fRightTime - (3599.0 - exact[1] / 1e9);
    const double floatLeft = floatTimes[0] - (3599.0 - exact[0] / 1e9);
    const double floatRight = floatTimes[1] - (3599.0 - exact[1] / 1e9);
    std::printf("clock_accuracy: %lld iterations, %d plies over 2 h simulated\n", iterations,
                state->m_nPlies.load());
    std::printf("  engine error  left %+.9f s  right %+.9f s  (target: under 0.001 s)\n", errLeft, errRight);
    std::printf("  single-precision times would be off by  left %+.3f s  right %+.3f s\n", floatLeft,
                floatRight);
    std::printf("row: clock error after a simulated 2-hour game | %.1e s | under 1e-3 s | single-precision "
                "times | %.2f s\n",
                std::max(std::abs(errLeft), std::abs(errRight)),
                std::max(std::abs(floatLeft), std::abs(floatRight)));
    const double staged = StagedGameError();
    std::printf("row: clock error after a simulated 40/5400+30:1800+30 game of 120 moves | %.1e s | under "
                "1e-3 s | | |\n",
                staged);
    return std::abs(errLeft) < 0.001 && std::abs(errRight) < 0.001 && staged < 0.001 ? 0 : 1;
}
