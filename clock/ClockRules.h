#pragma once

#include <atomic>
#include <string>

struct ClockState;

inline constexpr double kMinPresetSeconds = 1.0;
inline constexpr double kMaxPresetSeconds = 3599.0;

/// The text a clock shows: whole minutes and seconds left ("%.2d:%.2d"), 00:00 for any time below one second.
std::string FormatClockText(double seconds);

/// The spinner rule: time - iDelta x step, then 1 s if it fell to zero or below, 3599 s if it reached 3600.
/// A negative iDelta (the up arrow) adds.
double SpinTime(double time, int iDelta, int stepSeconds);

/// Spins one clock and makes its preset follow.
void SpinClock(std::atomic<double>& time, std::atomic<double>& preset, int iDelta, int stepSeconds);

/// The state changes of Reset: presets back into the times, clocks armed, plies closed into the last game's.
void ResetClocks(ClockState& state);
