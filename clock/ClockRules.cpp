#include "ClockRules.h"

#include "ClockState.h"

#include <cstdio>

std::string FormatClockText(double seconds)
{
    // Truncate toward zero; anything below one second, negative or NaN, shows 00:00.
    // Times are at most 3599 s, but clamp so the conversion is defined for any input.
    const int n = seconds >= 1.0 ? static_cast<int>(seconds < 3.6e6 ? seconds : 3.6e6 - 1) : 0;
    char text[16];
    std::snprintf(text, sizeof text, "%.2d:%.2d", n / 60, n % 60);
    return text;
}

double SpinTime(double time, int iDelta, int stepSeconds)
{
    const double spun = time - static_cast<double>(iDelta) * stepSeconds;
    if (spun <= 0)
        return kMinPresetSeconds;
    if (spun >= kMaxPresetSeconds + 1)
        return kMaxPresetSeconds;
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
}
