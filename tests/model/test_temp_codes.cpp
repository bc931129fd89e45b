#include "model/temp_codes.h"

#include <gtest/gtest.h>
#include <limits>
#include <tuple>
#include <utility>

namespace qmt::model {
namespace {

GeneralStuff Range(bool extended) {
    GeneralStuff state;
    state.ExtendedRange = extended;
    return state;
}

TEST(TempCodesTest, DecodesInTheRangeOfTheMomentAndEncodesWithoutClipping) {
    GeneralStuff state = Range(false);
    EXPECT_FLOAT_EQ(DecodeWholeTemp(state, 0xF6), 246.0f); // no sign bit in the normal range
    EXPECT_FLOAT_EQ(DecodeQuarterTemp(state, 0x59, 0x7F), 89.25f); // low six bits ignored
    state.ExtendedRange = true; // read at each call, never cached
    EXPECT_FLOAT_EQ(DecodeWholeTemp(state, 0x19), -39.0f);
    EXPECT_FLOAT_EQ(DecodeWholeTemp(state, 0xFF), 191.0f);
    EXPECT_FLOAT_EQ(DecodeQuarterTemp(state, 0x35, 0xC0), -10.25f);
    const std::tuple<bool, double, int> whole[] = {
        {false, 84.5, 0x54}, {false, 51.5, 52}, {false, -1.0, -1}, {true, 85.0, 0x95},
        {true, 200.0, 264},  {true, -70.0, -6}, {true, -62.5, 2},
    };
    for (const auto& [extended, t, code] : whole) {
        EXPECT_EQ(EncodeWholeTemp(Range(extended), t), code) << t << (extended ? " ext" : "");
    }
    // Absurd entries saturate instead of overflowing.
    EXPECT_EQ(EncodeWholeTemp(Range(true), -1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(EncodeQuarterTemp(Range(true), 1e300).high, std::numeric_limits<int>::max());

    const std::tuple<bool, double, int, int> quarter[] = {
        {false, 25.3, 0x19, 0x40},  {false, 50.9, 0x32, 0x00}, {false, -10.25, -11, 0xC0},
        {true, -10.25, 0x35, 0xC0}, {true, -0.5, 63, 0x80},
    };
    for (const auto& [extended, t, high, low] : quarter) {
        const QuarterCode code = EncodeQuarterTemp(Range(extended), t);
        EXPECT_EQ(std::pair(code.high, code.low), std::pair(high, low)) << t << extended;
    }
    for (const bool extended : {false, true}) { // every code survives the round trip
        for (int high = 0; high <= 0xFF; ++high) {
            for (int low = 0; low <= 0xC0; low += 0x40) {
                const QuarterCode code = EncodeQuarterTemp(
                    Range(extended), DecodeQuarterTemp(Range(extended), high, low));
                ASSERT_EQ(std::pair(code.high, code.low), std::pair(high, low)) << extended;
            }
        }
    }
}

TEST(TempCodesTest, FormatTempGivesTwoDecimalsAndRoundsTheCallersValue) {
    const std::pair<float, const char*> cases[] = {
        {25.1f, "25.10"}, {-0.25f, "-.25"}, {0.5f, ".50"}, {0.0f, "0.00"}};
    for (auto [t, text] : cases) {
        EXPECT_EQ(FormatTemp(t), text) << text;
    }
    float t = 25.12349f;
    EXPECT_EQ(FormatTemp(t), "25.123");
    EXPECT_FLOAT_EQ(t, 25.123f);
    t = 25.99951f;
    EXPECT_EQ(FormatTemp(t), "26.00");
    EXPECT_FLOAT_EQ(t, 26.0f);
}

} // namespace
} // namespace qmt::model
