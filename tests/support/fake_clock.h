#pragma once

#include "link/clock.h"

#include <cstdint>

namespace qmt::test {

// A time of day that moves only when told to. SleepMs advances it at once, so
// pauses of the link take no real time. Starts at 10:00 unless told otherwise;
// wraps from 86400 s back to 0 like the real clock at midnight.
//
//   FakeClock clock(86399.9);      // 100 ms before midnight
//   link::Pause(clock, 200.0f);    // returns at once
//   clock.ElapsedMs();             // 200
class FakeClock final : public link::Clock {
public:
    static constexpr std::int64_t MsPerDay = 86'400'000;

    explicit FakeClock(double secondsSinceMidnight = 36000.0);

    double SecondsSinceMidnight() override;
    void SleepMs(int milliseconds) override;

    // Jumps to a time of day; does not count as elapsed time.
    void SetSecondsSinceMidnight(double seconds);
    void AdvanceMs(std::int64_t milliseconds);

    // Milliseconds advanced since construction, never wrapped; the time base
    // of the emulated board.
    std::int64_t ElapsedMs() const { return elapsedMs_; }
    // Number of SleepMs calls, to tell a busy wait from a sleeping one.
    int SleepCount() const { return sleepCount_; }

private:
    std::int64_t msOfDay_ = 0;
    std::int64_t elapsedMs_ = 0;
    int sleepCount_ = 0;
};

} // namespace qmt::test
