#include "widgets/gauge_scale.h"

#include <cmath>
#include <gtest/gtest.h>

namespace qmt::widgets {
namespace {

TEST(GaugeScale, TheTopHoldsTheReadingAndThePointersWithRoomAbove) {
    // Default limits (L 0, H 85, T 85) and a room-temperature reading.
    EXPECT_EQ(GaugeUpperEnd(0, 256, {25, 0, 85, 85}), 128);
    // A 20 to 50 degree bench with limits near it fills a 64 degree scale.
    EXPECT_EQ(GaugeUpperEnd(0, 256, {50, 20, 40, 45}), 64);
    // A value just under a span's top is kept clear of it: the next span.
    EXPECT_EQ(GaugeUpperEnd(0, 256, {50, 20, 40, 62}), 128);
    // A pointer above the chosen top moves it; the limit is the most.
    EXPECT_EQ(GaugeUpperEnd(0, 256, {25, 0, 85, 130}), 192);
    EXPECT_EQ(GaugeUpperEnd(0, 256, {25, 0, 85, 250}), 256);
    EXPECT_EQ(GaugeUpperEnd(0, 256, {25, 0, 85, 300}), 256);
    // The extended range starts at -64; an open diode's reading (not a
    // number) takes no place.
    EXPECT_EQ(GaugeUpperEnd(-64, 192, {NAN, -55, 20, 45}), 64);
    EXPECT_EQ(GaugeUpperEnd(-64, 192, {NAN, NAN, NAN, NAN}), 0);
    // A limit below the spans is the top at once.
    EXPECT_EQ(GaugeUpperEnd(0, 50, {10, 0, 20, 30}), 50);
}

TEST(GaugeScale, TheReadoutPrintsEachPointerAsItsLimitIsSet) {
    EXPECT_EQ(PointerReadoutLine(20, 40, 45), "L 20  H 40  T 45");
    EXPECT_EQ(PointerReadoutLine(-10.75, 40.5, 45.25), "L -10.75  H 40.5  T 45.25");
    EXPECT_EQ(PointerValueText(-0.0), "0");
    EXPECT_EQ(PointerValueText(127), "127");
}

} // namespace
} // namespace qmt::widgets
