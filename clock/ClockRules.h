#pragma once

#include "TimeControl.h"

#include <atomic>
#include <string>

struct ClockState;

inline constexpr double kMinPresetSeconds = 1.0;
inline constexpr double kMaxPresetSeconds = 3599.0;
/// The most the arrows set a clock to under a time control: 9:59:59.
inline constexpr double kMaxControlSeconds = 10 * 3600 - 1;
/// The most an arbiter's correction can give a clock.
inline constexpr double kMaxCorrectionSeconds = 24 * 3600 - 1;

/// The text a clock shows: whole minutes and seconds left ("%.2d:%.2d"), from an hour on with the hours
/// ("1:30:00"); 00:00 for any time below one second.
std::string FormatClockText(double seconds);

/// The spinner rule: time - iDelta x step, then 1 s if it fell to zero or below, the ceiling (3599 s) if it
/// passed it.
/// A negative iDelta (the up arrow) adds.
double SpinTime(double time, int iDelta, int stepSeconds, double ceiling = kMaxPresetSeconds);

/// Spins one clock and makes its preset follow.
void SpinClock(std::atomic<double>& time, std::atomic<double>& preset, int iDelta, int stepSeconds);

/// An arrow of one side, under the engine's mutex: while waiting it spins the time and the preset
/// (up to 59:59, or 9:59:59 under a time control); while paused it corrects the time alone (an
/// arbiter's correction); while a clock runs it does nothing. True when a time changed.
bool SpinStoppedClock(ClockState& state, bool left, int iDelta, int stepSeconds);

/// Space: pauses a running game, or resumes it. False while waiting, when it does nothing.
bool TogglePause(ClockState& state);

/// Sets the time control and both presets and times, only while waiting. False while a game runs.
bool ApplyTimeControl(ClockState& state, const TimeControl& control, double leftPreset, double rightPreset);

/// The text of a clock in its last seconds: whole seconds and tenths ("%.2d:%.2d.%d"), or the usual
/// text at and above ten seconds.
std::string FormatClockTextWithTenths(double seconds);

/// Whether a clock is low on time: at most 10 % of its starting time or 20 s, whichever is less.
bool IsLowTime(double seconds, double startSeconds);

/// The state changes of Reset: presets back into the times, clocks armed, plies closed into the last game's,
/// pause, flags and move counts cleared.
void ResetClocks(ClockState& state);
