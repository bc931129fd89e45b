#include "support/fake_clock.h"

#include <cmath>

namespace qmt::test {

FakeClock::FakeClock(double secondsSinceMidnight) {
    SetSecondsSinceMidnight(secondsSinceMidnight);
}

double FakeClock::SecondsSinceMidnight() {
    return static_cast<double>(msOfDay_) / 1000.0;
}

void FakeClock::SleepMs(int milliseconds) {
    ++sleepCount_;
    AdvanceMs(milliseconds);
}

void FakeClock::SetSecondsSinceMidnight(double seconds) {
    msOfDay_ = std::llround(seconds * 1000.0) % MsPerDay;
}

void FakeClock::AdvanceMs(std::int64_t milliseconds) {
    elapsedMs_ += milliseconds;
    msOfDay_ = (msOfDay_ + milliseconds) % MsPerDay;
}

} // namespace qmt::test
