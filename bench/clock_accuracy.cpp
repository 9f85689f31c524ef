// Clock error after a simulated two-hour game: irregular ~10 ms iterations (10.05 to 10.15 ms, a
// sleep's usual overshoot) on a hand-driven time source, a switch every ~20 s. Prints the error of
// the engine's clocks against the exact sums, and what single-precision times would have drifted.
#include "ClockEngine.h"
#include "ClockState.h"
#include "Fakes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

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
    std::printf("clock_accuracy: %lld iterations, %d plies over 2 h simulated\n", iterations, state->m_nPlies.load());
    std::printf("  engine error  left %+.9f s  right %+.9f s  (target: under 0.001 s)\n", errLeft, errRight);
    std::printf("  single-precision times would be off by  left %+.3f s  right %+.3f s\n", floatLeft, floatRight);
    std::printf("row: clock error after a simulated 2-hour game | %.1e s | under 1e-3 s | single-precision times | %.2f s\n",
                std::max(std::abs(errLeft), std::abs(errRight)), std::max(std::abs(floatLeft), std::abs(floatRight)));
    return std::abs(errLeft) < 0.001 && std::abs(errRight) < 0.001 ? 0 : 1;
}
