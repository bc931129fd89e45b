#include "widgets/chart_export.h"
#include "widgets/chart_scale.h"
#include "widgets/chart_window.h"

#include <gtest/gtest.h>
#include <sstream>

namespace qmt::widgets {

TEST(ChartScale, DayClockCountsMidnightsAndHoldsWhenSetBack) {
    DayClock clock;
    EXPECT_EQ(clock.Unwrap(86399.5), 86399.5);
    EXPECT_EQ(clock.Unwrap(0.25), 86400.25); // passed midnight
    EXPECT_EQ(clock.Unwrap(0.20), 86400.25); // set back a little: held
    EXPECT_EQ(clock.Unwrap(3600.0), 90000.0);
    EXPECT_EQ(TimeLabel(90000.0), "01 00 00"); // labels show the time of day
    EXPECT_EQ(TimeLabel(45296.999), "12 34 56");
    EXPECT_EQ(TimeStampText(45296.999), "12:34:56.999");
    // A replayed run counts its days instead of starting the clock over.
    EXPECT_EQ(ElapsedLabel(86399.0), "23 59 59");
    EXPECT_EQ(ElapsedLabel(90061.0), "1d 01 01 01");
    EXPECT_EQ(ElapsedLabel(3 * 86400.0), "3d 00 00 00");
}

TEST(ChartScale, TickStepsLeaveRoomForTheirLabels) {
    EXPECT_EQ(TimeTickStep(60.0, 600.0, 80.0), 10.0); // a minute over 600 px: 10 s apart
    EXPECT_EQ(TimeTickStep(0.0, 600.0, 80.0), 7 * 86400.0);
    EXPECT_EQ(ValueTickStep(1.0, 500.0, 30.0), 0.1);
    EXPECT_EQ(ValueTickStep(300.0, 200.0, 30.0), 50.0);
}

// Scrolling, pausing and following are tested through the chart itself;
// here the limits.
TEST(ChartWindow, ScrollAndZoomStopAtTheirLimits) {
    TimeWindow window;
    window.ScrollBy(-10'000.0, 500.0, 5000.0);
    EXPECT_EQ(window.Range(5000.0).end, 500.0); // not before the first sample
    window.Zoom(1e-6, 7000.0, 86400.0);
    EXPECT_EQ(window.Span(), TimeWindow::MinSpan);
    window.Zoom(1e9, 7000.0, 86400.0);
    EXPECT_EQ(window.Span(), 86400.0);
    window.Zoom(-1.0, 7000.0, 86400.0);
    EXPECT_EQ(window.Span(), 86400.0);

    ValueWindow values;
    const ValueRange flat = values.Range(25.0, 25.0, true);
    EXPECT_TRUE(flat.low < 25.0 && flat.high > 25.0);
    values.Zoom({0.0, 100.0}, 0.5, 20.0);
    const ValueRange held = values.Range(-40.0, 160.0, true);
    EXPECT_DOUBLE_EQ(held.low, 10.0); // the anchor keeps its place
    EXPECT_DOUBLE_EQ(held.high, 60.0);
    values.Zoom(held, 0.0, 20.0); // nonsense factor: ignored
    EXPECT_DOUBLE_EQ(values.Range(0, 0, true).high, 60.0);
}

TEST(ChartExport, WritesTheRangeMergedByTime) {
    TraceHistory a;
    TraceHistory b;
    for (int i = 0; i < 10; ++i) {
        a.Append(36000.0 + i * 0.5, static_cast<float>(i));
        if (i % 2 == 0) {
            b.Append(36000.0 + i * 0.5, -0.25f * static_cast<float>(i));
        }
    }
    std::ostringstream out;
    const NumberText number = [](double v) {
        std::ostringstream text;
        text << (v >= 0 ? " " : "") << v;
        return text.str();
    };
    ASSERT_TRUE(WriteChartCsv(out, {{&a, "Local"}, {&b, "Remote1"}}, {36001.0, 36002.0}, number));
    EXPECT_EQ(out.str(), "Time ,Local ,Remote1 ,\r\n"
                         "10:00:01.000, 2,-0.5,\r\n"
                         "10:00:01.500, 3,,\r\n"
                         "10:00:02.000, 4,-1,\r\n");

    std::ostringstream nothing;
    ASSERT_TRUE(WriteChartCsv(nothing, {{&a, "Local"}}, {0.0, 1.0}, number));
    EXPECT_EQ(nothing.str(), "Time ,Local ,\r\n");

    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_FALSE(WriteChartCsv(broken, {{&a, "Local"}}, {36000.0, 36010.0}, number));
}

} // namespace qmt::widgets
