#pragma once

#include <atomic>
#include <mutex>

/// The clock fields shared by the window's thread and the engine thread.
/// Times are double-precision seconds: thousands of 10 ms subtractions in single
/// precision drift by seconds over an hour.
struct ClockState {
    std::atomic<int> m_nGame{0};
    std::atomic<int> m_nPlies{0};
    std::atomic<int> m_nLastGamePlies{0};
    std::atomic<bool> m_bArmed{true};
    std::atomic<bool> m_bLeftRunning{true};
    std::atomic<bool> m_bThreadRun{false};
    std::atomic<double> m_fRightPreset{60.0};
    std::atomic<double> m_fLeftPreset{60.0};
    std::atomic<double> m_fLeftTime{60.0};
    std::atomic<double> m_fRightTime{60.0};

    /// Held by the engine while it changes the clocks and by Reset, so that a Reset
    /// never lands half-way through an iteration (which could charge the fresh time
    /// or count a ply into the next game). Never held across I/O or a wait.
    std::mutex m_stepMutex;
};
