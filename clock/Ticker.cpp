#include "Ticker.h"

#include <chrono>

std::int64_t SteadyTicker::NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
