#include "widgets/lane_history.h"

#include <gtest/gtest.h>
#include <random>

namespace qmt::widgets {
namespace {

// What a column should show, worked out from every reading in it.
struct Reading {
    double t;
    bool on;
};

std::vector<LaneColumn> BruteColumns(const std::vector<Reading>& readings, double t0, double t1,
                                     int columns) {
    std::vector<LaneColumn> out(static_cast<std::size_t>(columns));
    const double width = (t1 - t0) / columns;
    for (int c = 0; c < columns; ++c) {
        const double start = t0 + c * width;
        const double end = start + width;
        LaneColumn& column = out[static_cast<std::size_t>(c)];
        column.known = end > readings.front().t && start <= readings.back().t;
        bool state = readings.front().on;
        bool seenChange = false;
        bool on = false;
        for (std::size_t i = 0; i < readings.size(); ++i) {
            const bool changed = i > 0 && readings[i].on != state;
            state = readings[i].on;
            if (readings[i].t < start) {
                on = state;
                continue;
            }
            if (readings[i].t >= end) {
                break;
            }
            seenChange = seenChange || changed;
            on = on || (changed && state);
        }
        column.change = seenChange;
        column.on = on && column.known;
    }
    return out;
}

TEST(LaneHistory, AReadingEarlierThanTheLastIsTakenAtTheLast) {
    LaneHistory lane;
    lane.Record(10.0, false);
    lane.Record(10.4, true);
    lane.Record(10.8, false);
    lane.Record(10.7, true);
    ASSERT_EQ(lane.ChangeTimes().size(), 3u);
    EXPECT_DOUBLE_EQ(lane.ChangeTimes()[2], 10.8);
    EXPECT_TRUE(lane.StateAt(20.0));
}

TEST(LaneHistory, AWholeDayOfReadingsFoldsLikeEveryReadingWouldAtAnyZoom) {
    // Five readings a second for 24 hours, a change now and then in bursts.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    LaneHistory lane;
    std::vector<Reading> readings;
    bool on = false;
    for (int i = 0; i < 5 * 86400; ++i) {
        const double t = 36000.0 + i * 0.2;
        if (chance(random) < (i % 50000 < 200 ? 0.3 : 0.001)) {
            on = !on;
        }
        lane.Record(t, on);
        readings.push_back({t, on});
    }
    // Memory follows the changes, not the readings.
    EXPECT_LT(lane.ChangeTimes().size(), readings.size() / 100);
    std::vector<LaneColumn> columns;
    for (const auto& [t0, t1, n] :
         {std::tuple{36000.0 - 100.0, 36000.0 + 86500.0, 900}, std::tuple{40000.0, 40060.0, 800},
          std::tuple{36010.0, 36050.0, 333}}) {
        lane.Columns(t0, t1, n, columns);
        const std::vector<LaneColumn> expected = BruteColumns(readings, t0, t1, n);
        for (int c = 0; c < n; ++c) {
            const auto i = static_cast<std::size_t>(c);
            ASSERT_EQ(columns[i].known, expected[i].known) << c;
            ASSERT_EQ(columns[i].on, expected[i].on) << "column " << c << " of " << n;
            ASSERT_EQ(columns[i].change, expected[i].change) << c;
        }
    }
}

} // namespace
} // namespace qmt::widgets
