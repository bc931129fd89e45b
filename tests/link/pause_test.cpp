#include "link/clock.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>
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

} // namespace
} // namespace qmt::test
