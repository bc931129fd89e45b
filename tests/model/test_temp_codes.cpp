#include "model/temp_codes.h"

#include <gtest/gtest.h>

namespace qmt::model {
namespace {

GeneralStuff Range(bool extended) {
    GeneralStuff state;
    state.ExtendedRange = extended;
    return state;
}

TEST(TempCodesTest, DecodesWholeAndQuarterCodesInBothRanges) {
    const GeneralStuff normal = Range(false);
    const GeneralStuff extended = Range(true);

    EXPECT_FLOAT_EQ(DecodeWholeTemp(normal, 0x19), 25.0f);
    EXPECT_FLOAT_EQ(DecodeWholeTemp(extended, 0x19), -39.0f);
    EXPECT_FLOAT_EQ(DecodeWholeTemp(extended, 0xFF), 191.0f);
    EXPECT_FLOAT_EQ(DecodeWholeTemp(extended, 0x00), -64.0f);
    // No sign in the normal range: high bytes are degrees above 127.
    EXPECT_FLOAT_EQ(DecodeWholeTemp(normal, 0x80), 128.0f);
    EXPECT_FLOAT_EQ(DecodeWholeTemp(normal, 0xF6), 246.0f);

    EXPECT_FLOAT_EQ(DecodeQuarterTemp(normal, 0x59, 0x40), 89.25f);
    EXPECT_FLOAT_EQ(DecodeQuarterTemp(normal, 0x59, 0x7F), 89.25f);
    EXPECT_FLOAT_EQ(DecodeQuarterTemp(normal, 0x59, 0xFF), 89.75f);
    EXPECT_FLOAT_EQ(DecodeQuarterTemp(normal, 0xF0, 0x80), 240.5f);
    EXPECT_FLOAT_EQ(DecodeQuarterTemp(extended, 0x35, 0xC0), -10.25f);
    EXPECT_FLOAT_EQ(DecodeQuarterTemp(extended, 0x00, 0x3F), -64.0f);
}

TEST(TempCodesTest, RangeIsTakenAtEachCall) {
    GeneralStuff state = Range(false);
    EXPECT_FLOAT_EQ(DecodeWholeTemp(state, 0x40), 64.0f);
    state.ExtendedRange = true;
    EXPECT_FLOAT_EQ(DecodeWholeTemp(state, 0x40), 0.0f);
    EXPECT_EQ(EncodeWholeTemp(state, 0.0), 0x40);
    state.ExtendedRange = false;
    EXPECT_EQ(EncodeWholeTemp(state, 0.0), 0x00);
}

TEST(TempCodesTest, EncodesWholeLimitsHalvesToEven) {
    struct Case {
        bool extended;
        double t;
        int code;
    };
    const Case cases[] = {
        {false, 85.0, 0x55}, {false, 84.5, 0x54}, {false, 50.5, 50},  {false, 51.5, 52},
        {false, 85.4, 0x55}, {false, 85.6, 0x56}, {true, 85.0, 0x95}, {true, 200.0, 264},
        {true, -64.0, 0},    {false, -1.0, -1},   {true, -70.0, -6},  {false, 255.0, 255},
        {true, -63.5, 0},    {true, -62.5, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeWholeTemp(Range(c.extended), c.t), c.code)
            << c.t << (c.extended ? " extended" : "");
    }
}

TEST(TempCodesTest, EncodesQuarterLimitsWithTruncatedWholePart) {
    struct Case {
        bool extended;
        double t;
        int high;
        int low;
    };
    const Case cases[] = {
        {false, 25.3, 0x19, 0x40},   {false, 50.9, 0x32, 0x00},   {true, -10.25, 0x35, 0xC0},
        {false, 25.0, 0x19, 0x00},   {false, 25.5, 0x19, 0x80},   {false, 25.75, 0x19, 0xC0},
        {false, 25.125, 0x19, 0x00}, {false, 25.375, 0x19, 0x80}, {true, -0.5, 63, 0x80},
        {false, -10.25, -11, 0xC0},  {false, 89.25, 0x59, 0x40},
    };
    for (const Case& c : cases) {
        const QuarterCode code = EncodeQuarterTemp(Range(c.extended), c.t);
        EXPECT_EQ(code.high, c.high) << c.t << (c.extended ? " extended" : "");
        EXPECT_EQ(code.low, c.low) << c.t << (c.extended ? " extended" : "");
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

TEST(TempCodesTest, EncodingSurvivesValuesFarOutsideTheRange) {
    const GeneralStuff state = Range(true);
    EXPECT_EQ(EncodeWholeTemp(state, 1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(EncodeWholeTemp(state, -1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(EncodeQuarterTemp(state, 1e300).high, std::numeric_limits<int>::max());
}

TEST(TempCodesTest, FormatTempGivesTwoDecimals) {
    struct Case {
        float t;
        const char* text;
    };
    const Case cases[] = {
        {25.0f, "25.00"},   {25.5f, "25.50"},   {25.25f, "25.25"},   {25.75f, "25.75"},
        {-10.0f, "-10.00"}, {-10.5f, "-10.50"}, {-10.75f, "-10.75"}, {0.5f, ".50"},
        {-0.25f, "-.25"},   {0.0f, "0.00"},     {191.0f, "191.00"},  {-64.0f, "-64.00"},
        {25.1f, "25.10"},   {-0.5f, "-.50"},
    };
    for (const Case& c : cases) {
        float t = c.t;
        EXPECT_EQ(FormatTemp(t), c.text) << c.t;
    }
}

TEST(TempCodesTest, FormatTempRoundsTheCallersValue) {
    float t = 25.12349f;
    EXPECT_EQ(FormatTemp(t), "25.123");
    EXPECT_FLOAT_EQ(t, 25.123f);

    t = 25.99951f;
    EXPECT_EQ(FormatTemp(t), "26.00");
    EXPECT_FLOAT_EQ(t, 26.0f);
}

} // namespace
} // namespace qmt::model
