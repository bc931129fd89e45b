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

TEST(TempCodesTest, DecodesWholeAndQuarterCodesInBothRanges) {
    GeneralStuff state = Range(false);
    EXPECT_FLOAT_EQ(DecodeWholeTemp(state, 0x19), 25.0f);
    EXPECT_FLOAT_EQ(DecodeWholeTemp(state, 0xF6), 246.0f); // no sign bit in the normal range
    EXPECT_FLOAT_EQ(DecodeQuarterTemp(state, 0x59, 0x7F), 89.25f); // low six bits ignored
    EXPECT_FLOAT_EQ(DecodeQuarterTemp(state, 0x59, 0xFF), 89.75f);
    // The range is read at each call, never cached.
    state.ExtendedRange = true;
    EXPECT_FLOAT_EQ(DecodeWholeTemp(state, 0x19), -39.0f);
    EXPECT_FLOAT_EQ(DecodeWholeTemp(state, 0x00), -64.0f);
    EXPECT_FLOAT_EQ(DecodeWholeTemp(state, 0xFF), 191.0f);
    EXPECT_FLOAT_EQ(DecodeQuarterTemp(state, 0x35, 0xC0), -10.25f);
    state.ExtendedRange = false;
    EXPECT_EQ(EncodeWholeTemp(state, 0.0), 0x00);
}

TEST(TempCodesTest, EncodesWholeLimitsHalvesToEvenWithoutClipping) {
    const std::tuple<bool, double, int> cases[] = {
        {false, 85.0, 0x55}, {false, 84.5, 0x54}, {false, 51.5, 52},  {false, 85.6, 0x56},
        {false, -1.0, -1},   {true, 85.0, 0x95},  {true, 200.0, 264}, {true, -70.0, -6},
        {true, -63.5, 0},    {true, -62.5, 2},
    };
    for (const auto& [extended, t, code] : cases) {
        EXPECT_EQ(EncodeWholeTemp(Range(extended), t), code) << t << (extended ? " ext" : "");
    }
    // Absurd entries saturate instead of overflowing.
    const GeneralStuff extended = Range(true);
    EXPECT_EQ(EncodeWholeTemp(extended, 1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(EncodeWholeTemp(extended, -1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(EncodeQuarterTemp(extended, 1e300).high, std::numeric_limits<int>::max());
}

TEST(TempCodesTest, EncodesQuarterLimitsWithTruncatedWholePart) {
    const std::tuple<bool, double, int, int> cases[] = {
        {false, 25.3, 0x19, 0x40},   {false, 50.9, 0x32, 0x00},  {false, 25.125, 0x19, 0x00},
        {false, 25.375, 0x19, 0x80}, {false, -10.25, -11, 0xC0}, {true, -10.25, 0x35, 0xC0},
        {true, -0.5, 63, 0x80},
    };
    for (const auto& [extended, t, high, low] : cases) {
        const QuarterCode code = EncodeQuarterTemp(Range(extended), t);
        EXPECT_EQ(code.high, high) << t << (extended ? " ext" : "");
        EXPECT_EQ(code.low, low) << t << (extended ? " ext" : "");
    }
}

TEST(TempCodesTest, QuarterCodesRoundTrip) {
    for (const bool extended : {false, true}) {
        const GeneralStuff state = Range(extended);
        for (int high = 0; high <= 0xFF; ++high) {
            for (int low = 0; low <= 0xC0; low += 0x40) {
                const float t = DecodeQuarterTemp(state, high, low);
                const QuarterCode code = EncodeQuarterTemp(state, t);
                ASSERT_EQ(code.high, high) << t;
                ASSERT_EQ(code.low, low) << t;
            }
        }
    }
}

TEST(TempCodesTest, FormatTempGivesTwoDecimalsAndRoundsTheCallersValue) {
    const std::pair<float, const char*> cases[] = {
        {25.0f, "25.00"}, {25.1f, "25.10"}, {-10.75f, "-10.75"}, {0.5f, ".50"},
        {-0.25f, "-.25"}, {0.0f, "0.00"},   {-64.0f, "-64.00"},  {191.0f, "191.00"},
    };
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
