#include "link/clock.h"
#include "support/fake_clock.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <tuple>

namespace qmt::test {
namespace {

TEST(Pause, WaitsTheTimeEvenAcrossMidnight) {
    const std::tuple<double, float, std::int64_t, double> cases[] = {
        {36000.0, 12.5f, 13, 36000.013},
        {36000.0, 0.0f, 0, 36000.0},
        {86399.9, 1000.0f, 1000, 0.9},
        {86399.8, 200.0f, 200, 0.0}};
    for (const auto& [start, ms, elapsedMs, end] : cases) {
        FakeClock clock;
        clock.SetSecondsSinceMidnight(start);
        link::Pause(clock, ms);
        EXPECT_EQ(clock.ElapsedMs(), elapsedMs) << start << " + " << ms;
        EXPECT_NEAR(clock.SecondsSinceMidnight(), end, 1e-9) << start << " + " << ms;
    }
}

// Sets TZ for one scope and puts the old value back.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            old_ = old;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneScope() {
        if (old_) {
            ::setenv("TZ", old_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    ZoneScope(const ZoneScope&) = delete;
    ZoneScope& operator=(const ZoneScope&) = delete;

private:
    std::optional<std::string> old_;
};

TEST(SystemClock, GivesTheLocalTimeOfDayInZonesOffByQuarterHours) {
    // Written as rules, so no time-zone database is needed.
    for (const char* zone : {"UTC0", "NPT-5:45", "NST3:30NDT,M3.2.0,M11.1.0", "LHST-10:30"}) {
        const ZoneScope scope(zone);
        link::SystemClock clock;
        for (int reading = 0; reading < 2; ++reading) {
            const std::time_t now = std::time(nullptr);
            std::tm local{};
            ::localtime_r(&now, &local);
            const double expected = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
            double apart = std::fabs(clock.SecondsSinceMidnight() - expected);
            apart = std::min(apart, 86400.0 - apart); // across midnight
            EXPECT_LT(apart, 2.0) << zone << " reading " << reading;
        }
    }
}

} // namespace
} // namespace qmt::test
