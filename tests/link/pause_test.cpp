#include "link/clock.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

namespace qmt::test {
namespace {

// A clock set back by an hour (not midnight) after 50 ms, as at the end of summer time.
class SetBackClock final : public link::Clock {
public:
    double SecondsSinceMidnight() override { return seconds; }
    void SleepMs(int milliseconds) override {
        sleptMs += milliseconds;
        seconds += milliseconds / 1000.0 - (sleptMs == 50 ? 3600.0 : 0.0);
    }
    double seconds = 40000.0;
    int sleptMs = 0;
};

TEST(Pause, WaitsTheTimeAcrossMidnightAndClockChanges) {
    struct Case {
        double start;
        float ms;
        std::int64_t elapsedMs;
        double end;
    };
    for (const auto& c : {Case{36000.0, 12.5f, 13, 36000.013}, Case{36000.0, 0.0f, 0, 36000.0},
                          Case{86399.9, 1000.0f, 1000, 0.9}, Case{86399.8, 200.0f, 200, 0.0}}) {
        FakeClock clock(c.start);
        link::Pause(clock, c.ms);
        EXPECT_EQ(clock.ElapsedMs(), c.elapsedMs) << c.start << " + " << c.ms;
        EXPECT_NEAR(clock.SecondsSinceMidnight(), c.end, 1e-9) << c.start << " + " << c.ms;
    }

    // Set back by an hour after 50 ms: neither ends the wait early nor stretches it by the hour.
    SetBackClock clock;
    link::Pause(clock, 200.0f);
    EXPECT_EQ(clock.sleptMs, 205); // the slice in which it was set back counts as none
}

} // namespace
} // namespace qmt::test
