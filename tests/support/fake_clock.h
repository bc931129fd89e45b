#pragma once

#include "link/clock.h"

#include <cmath>
#include <cstdint>

namespace qmt::test {

// A time of day that moves only when told to: SleepMs advances it at once, so
// the link's pauses take no real time. Starts at 10:00 and wraps at midnight
// like the real clock; ElapsedMs never wraps.
class FakeClock final : public link::Clock {
public:
    double SecondsSinceMidnight() override { return static_cast<double>(msOfDay_) / 1000.0; }
    void SleepMs(int milliseconds) override { AdvanceMs(milliseconds); }

    // Jumps to a time of day; does not count as elapsed time.
    void SetSecondsSinceMidnight(double seconds) {
        msOfDay_ = std::llround(seconds * 1000.0) % MsPerDay;
    }
    void AdvanceMs(std::int64_t milliseconds) {
        elapsedMs_ += milliseconds;
        msOfDay_ = (msOfDay_ + milliseconds) % MsPerDay;
    }
    std::int64_t ElapsedMs() const { return elapsedMs_; }

private:
    static constexpr std::int64_t MsPerDay = 86'400'000;
    std::int64_t msOfDay_ = 36'000'000;
    std::int64_t elapsedMs_ = 0;
};

} // namespace qmt::test
