#pragma once

#include "TimeControl.h"

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

    /// Space: both clocks stand still until Space again (only while a game runs).
    std::atomic<bool> m_bPaused{false};
    /// Moves each side has made in this game (its presses).
    std::atomic<int> m_nLeftMoves{0};
    std::atomic<int> m_nRightMoves{0};
    /// Whether each clock has run out in this game, and which ran out first (0 none, 1 left, 2 right);
    /// kept until Reset even when an increment brings a clock back above zero.
    std::atomic<bool> m_bLeftFlag{false};
    std::atomic<bool> m_bRightFlag{false};
    std::atomic<int> m_nFirstFlag{0};
    /// Seconds of the running side's simple delay still to go in this turn.
    std::atomic<double> m_fDelayLeft{0.0};
    /// The game's time control; read and changed only under m_stepMutex, changed only while waiting.
    TimeControl m_control;

    /// Held by the engine while it changes the clocks and by Reset, so that a Reset
    /// never lands half-way through an iteration (which could charge the fresh time
    /// or count a ply into the next game). Never held across I/O or a wait.
    std::mutex m_stepMutex;
};
