#include "link/clock.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

namespace qmt::test {
namespace {

TEST(Pause, WaitsTheTimeInShortSleeps) {
    FakeClock clock;
    link::Pause(clock, 200.0f);
    EXPECT_EQ(clock.ElapsedMs(), 200);
    EXPECT_GE(clock.SleepCount(), 40); // never one long sleep

    FakeClock odd;
    link::Pause(odd, 12.5f);
    EXPECT_EQ(odd.ElapsedMs(), 13);

    FakeClock none;
    link::Pause(none, 0.0f);
    EXPECT_EQ(none.ElapsedMs(), 0);
}

TEST(Pause, EndsOnTimeAcrossMidnight) {
    FakeClock clock(86399.9); // 100 ms before midnight
    link::Pause(clock, 1000.0f);
    EXPECT_EQ(clock.ElapsedMs(), 1000);
    EXPECT_NEAR(clock.SecondsSinceMidnight(), 0.9, 1e-9);

    FakeClock exact(86399.8); // the wait ends on the stroke of midnight
    link::Pause(exact, 200.0f);
    EXPECT_EQ(exact.ElapsedMs(), 200);
    EXPECT_EQ(exact.SecondsSinceMidnight(), 0.0);
}

// A clock set back by an hour (not midnight) neither ends the wait early nor
// stretches it by the hour.
class SetBackClock final : public link::Clock {
public:
    double SecondsSinceMidnight() override { return seconds; }
    void SleepMs(int milliseconds) override {
        sleptMs += milliseconds;
        seconds += milliseconds / 1000.0;
        if (sleptMs == 50) {
            seconds -= 3600.0;
        }
    }
    double seconds = 40000.0;
    int sleptMs = 0;
};

TEST(Pause, ClockSetBackCountsAsNoTime) {
    SetBackClock clock;
    link::Pause(clock, 200.0f);
    EXPECT_EQ(clock.sleptMs, 205); // the slice in which it was set back counts as none
}

} // namespace
} // namespace qmt::test
