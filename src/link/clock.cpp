#include "link/clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <thread>

namespace qmt::link {

namespace {

constexpr double SecondsPerDay = 86400.0;
constexpr long long WholeSecondsPerDay = 86400;
constexpr long long SecondsPerQuarterHour = 900;
// A backward step of more than half a day is the clock passing midnight; a
// smaller one (the clock being set back) counts as no time passing.
constexpr double MidnightJump = SecondsPerDay / 2.0;
// Longest single sleep, so that a pause ends within a few milliseconds of its time.
constexpr int LongestSleepMs = 5;

} // namespace

double SystemClock::SecondsSinceMidnight() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const long long seconds = now.tv_sec;
    const long long quarter = seconds / SecondsPerQuarterHour;
    if (quarter != quarter_) {
        const time_t start = static_cast<time_t>(quarter * SecondsPerQuarterHour);
        tm local{};
        localtime_r(&start, &local);
        quarter_ = quarter;
        quarterStart_ = start;
        quarterStartOfDay_ = local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec;
    }
    const long long ofDay = (quarterStartOfDay_ + (seconds - quarterStart_)) % WholeSecondsPerDay;
    return static_cast<double>(ofDay) + static_cast<double>(now.tv_nsec) / 1e9;
}

void SystemClock::SleepMs(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void Pause(Clock& clock, float milliseconds) {
    // Whole microseconds, so that a clock stepping in exact milliseconds ends
    // the wait at exactly the asked time instead of one rounding step later.
    const auto waitUs = std::llround(static_cast<double>(milliseconds) * 1000.0);
    const double start = clock.SecondsSinceMidnight();
    double last = start;
    double dayOffset = 0.0;
    for (;;) {
        const auto elapsedUs = std::llround((last + dayOffset - start) * 1e6);
        if (elapsedUs >= waitUs) {
            return;
        }
        const auto remainingMs = (waitUs - elapsedUs + 999) / 1000;
        clock.SleepMs(static_cast<int>(std::clamp<long long>(remainingMs, 1, LongestSleepMs)));
        const double now = clock.SecondsSinceMidnight();
        if (now < last) {
            dayOffset += now < last - MidnightJump ? SecondsPerDay : last - now;
        }
        last = now;
    }
}

} // namespace qmt::link
