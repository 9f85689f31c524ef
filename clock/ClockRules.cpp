#include "ClockRules.h"

#include "ClockState.h"

#include <algorithm>
#include <cstdio>

std::string FormatClockText(double seconds)
{
    // Truncate toward zero; anything below one second, negative or NaN, shows 00:00. Clamped so that the
    // conversion is defined for any input.
    const int n = seconds >= 1.0 ? static_cast<int>(seconds < 3.6e6 ? seconds : 3.6e6 - 1) : 0;
    char text[16];
    if (n >= 3600) // an hour or more, as a clock for long games shows it
        std::snprintf(text, sizeof text, "%d:%.2d:%.2d", n / 3600, n / 60 % 60, n % 60);
    else
        std::snprintf(text, sizeof text, "%.2d:%.2d", n / 60, n % 60);
    return text;
}

double SpinTime(double time, int iDelta, int stepSeconds, double ceiling)
{
    const double spun = time - static_cast<double>(iDelta) * stepSeconds;
    if (spun <= 0)
        return kMinPresetSeconds;
    if (spun >= ceiling + 1)
        return ceiling;
    return spun;
}

void SpinClock(std::atomic<double>& time, std::atomic<double>& preset, int iDelta, int stepSeconds)
{
    const double spun = SpinTime(time, iDelta, stepSeconds);
    time = spun;
    preset = spun;
}

void ResetClocks(ClockState& s)
{
    std::lock_guard lock(s.m_stepMutex);
    s.m_fLeftTime = s.m_fLeftPreset.load();
    s.m_bArmed = true;
    s.m_fRightTime = s.m_fRightPreset.load();
    s.m_bLeftRunning = true;
    s.m_nLastGamePlies = s.m_nPlies.load();
    s.m_nPlies = 0;
    s.m_bPaused = false;
    s.m_nLeftMoves = 0;
    s.m_nRightMoves = 0;
    s.m_bLeftFlag = false;
    s.m_bRightFlag = false;
    s.m_nFirstFlag = 0;
    s.m_fDelayLeft = 0.0;
}

bool SpinStoppedClock(ClockState& s, bool left, int iDelta, int stepSeconds)
{
    std::lock_guard lock(s.m_stepMutex);
    std::atomic<double>& time = left ? s.m_fLeftTime : s.m_fRightTime;
    if (s.m_bArmed) {
        // Under a time control the clocks are set in hours; the arrows' own times stay below an hour.
        const double ceiling = StartSeconds(s.m_control) ? kMaxControlSeconds : kMaxPresetSeconds;
        time = SpinTime(time, iDelta, stepSeconds, ceiling);
        (left ? s.m_fLeftPreset : s.m_fRightPreset) = time.load();
        return true;
    }
    if (!s.m_bPaused)
        return false;
    time = SpinTime(time, iDelta, stepSeconds, kMaxCorrectionSeconds);
    return true;
}

bool TogglePause(ClockState& s)
{
    std::lock_guard lock(s.m_stepMutex);
    if (s.m_bArmed)
        return false;
    s.m_bPaused = !s.m_bPaused;
    return true;
}

bool ApplyTimeControl(ClockState& s, const TimeControl& control, double leftPreset, double rightPreset)
{
    std::lock_guard lock(s.m_stepMutex);
    if (!s.m_bArmed)
        return false;
    s.m_control = control;
    s.m_fLeftPreset = leftPreset;
    s.m_fRightPreset = rightPreset;
    s.m_fLeftTime = leftPreset;
    s.m_fRightTime = rightPreset;
    return true;
}

std::string FormatClockTextWithTenths(double seconds)
{
    if (seconds >= 10.0)
        return FormatClockText(seconds);
    const int tenths = seconds > 0.0 ? static_cast<int>(seconds * 10.0) : 0; // truncated, as the seconds are
    char text[32];
    std::snprintf(text, sizeof text, "00:%.2d.%d", tenths / 10, tenths % 10);
    return text;
}

bool IsLowTime(double seconds, double startSeconds)
{
    return seconds <= std::min(0.1 * startSeconds, 20.0);
}
