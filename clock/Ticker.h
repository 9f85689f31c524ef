#pragma once

#include <cstdint>

/// A monotonic time source in nanoseconds; tests replace it with one they advance by hand.
class Ticker {
public:
    virtual ~Ticker() = default;
    virtual std::int64_t NowNs() = 0;
};

/// The real time source: std::chrono::steady_clock.
class SteadyTicker final : public Ticker {
public:
    std::int64_t NowNs() override;
};
