#include "model/number_text.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <locale>
#include <string>

namespace qmt::model {
namespace {

TEST(NumberTextTest, PlainTextInBothPrecisions) {
    struct Case {
        double value;
        const char* floatText;
        const char* doubleText;
    };
    const Case cases[] = {
        {0.1, " .1", " .1"},
        {1e-3, " .001", " .001"},
        {123456.7, " 123456.7", " 123456.7"},
        {-0.5, "-.5", "-.5"},
        {25.0, " 25", " 25"},
        {0.0, " 0", " 0"},
        {-0.0, " 0", " 0"},
        {30.25, " 30.25", " 30.25"},
        {-5.5, "-5.5", "-5.5"},
        {-0.75, "-.75", "-.75"},
        {-10.25, "-10.25", "-10.25"},
        {1.0 / 3.0, " .3333333", " .333333333333333"},
        {1234567.0, " 1234567", " 1234567"},
        {2147483.647, " 2147484", " 2147483.647"},
        {1e20, " 1E+20", " 1E+20"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlainNumberText(static_cast<float>(c.value)), c.floatText) << c.value;
        EXPECT_EQ(PlainNumberText(c.value), c.doubleText) << c.value;
    }
    // The float's own digits beyond the seventh are noise, not part of the text.
    EXPECT_EQ(PlainNumberText(0.1f), " .1");
    EXPECT_EQ(PlainNumberText(89.25f), " 89.25");
    EXPECT_EQ(PlainNumberText(static_cast<double>(0.1f)), " .100000001490116");
}

TEST(NumberTextTest, TrimmedTextHasNoBlank) {
    EXPECT_EQ(PlainNumberTextTrimmed(25.0f), "25");
    EXPECT_EQ(PlainNumberTextTrimmed(0.5), ".5");
    EXPECT_EQ(PlainNumberTextTrimmed(0.0), "0");
    EXPECT_EQ(PlainNumberTextTrimmed(-0.25f), "-.25");
}

TEST(NumberTextTest, RoundsHalvesToEven) {
    struct Case {
        double value;
        double rounded;
    };
    const Case cases[] = {
        {12.5, 12.0}, {13.5, 14.0}, {-2.5, -2.0},   {-3.5, -4.0}, {2.5, 2.0},
        {3.5, 4.0},   {0.5, 0.0},   {-0.5, 0.0},    {2.4, 2.0},   {2.6, 3.0},
        {-2.6, -3.0}, {7.0, 7.0},   {1e300, 1e300},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
    }
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::numeric_limits<double>::quiet_NaN())));
}

TEST(NumberTextTest, DecimalEntryTakesTheNumberAtTheStart) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"250ms", 250.0},   {"1 000", 1000.0},     {"", 0.0},
        {"12.5", 12.5},     {"\t7", 7.0},          {"-3", -3.0},
        {"abc", 0.0},       {"1e3", 1000.0},       {"1E-2", 0.01},
        {" - 4 . 5", -4.5}, {"+8", 8.0},           {".5", 0.5},
        {"-.25", -0.25},    {"1.2.3", 1.2},        {"2e", 2.0},
        {"2e+", 2.0},       {"3e 2", 300.0},       {"-", 0.0},
        {".", 0.0},         {"--5", 0.0},          {"5-", 5.0},
        {"0x10", 0.0},      {"1,5", 1.0},          {"100H", 100.0},
        {"1e-999", 0.0},    {"0.000e-99999", 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(DecimalEntry(c.text), c.value) << '"' << c.text << '"';
    }
    EXPECT_EQ(DecimalEntry("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(DecimalEntry("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_FALSE(std::signbit(DecimalEntry("-0")));
    EXPECT_EQ(DecimalEntry("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(DecimalEntry("1" + std::string(400, '0')), std::numeric_limits<double>::infinity());
}

TEST(NumberTextTest, DecimalEntryToInt32RoundsAndRejectsOverflow) {
    struct Case {
        const char* text;
        bool fits;
        std::int32_t value;
    };
    const Case cases[] = {
        {"2.5", true, 2},
        {"3.5", true, 4},
        {"-2.5", true, -2},
        {"250ms", true, 250},
        {"", true, 0},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, std::numeric_limits<std::int32_t>::min()},
        {"2147483647.5", false, 7},
        {"2147483648", false, 7},
        {"-2147483649", false, 7},
        {"1e999", false, 7},
        {"-1e10", false, 7},
    };
    for (const Case& c : cases) {
        std::int32_t value = 7;
        EXPECT_EQ(DecimalEntryToInt32(c.text, value), c.fits) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(NumberTextTest, HexEntryReadsLeadingHexDigits) {
    struct Case {
        const char* text;
        bool fits;
        std::int32_t value;
    };
    const Case cases[] = {
        {"3H", true, 3},
        {"3h", true, 3},
        {"03", true, 3},
        {"fe", true, 254},
        {"FE", true, 254},
        {"", true, 0},
        {"zz", true, 0},
        {"FFFFFFFF", true, -1},
        {"80000000", true, INT32_MIN},
        {"7fffffff", true, INT32_MAX},
        {"00000000FF", true, 255},
        {"123456789", false, 42},
        {"FFFFFFFFF", false, 42},
        {"12345678g9", true, 0x12345678},
        {" 3", true, 0},
        {"0", true, 0},
        {"3A", true, 0x3A},
    };
    for (const Case& c : cases) {
        std::int32_t value = 42;
        EXPECT_EQ(HexEntry(c.text, value), c.fits) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
    EXPECT_EQ(HexEntryOrZero("123456789"), 0);
    EXPECT_EQ(HexEntryOrZero("55H"), 0x55);
}

TEST(NumberTextTest, HexAndDecimalTexts) {
    EXPECT_EQ(HexText(0), "0");
    EXPECT_EQ(HexText(9), "9");
    EXPECT_EQ(HexText(0x3A), "3A");
    EXPECT_EQ(HexText(254), "FE");
    EXPECT_EQ(HexText(-1), "FFFFFFFF");
    EXPECT_EQ(HexText(INT32_MIN), "80000000");
    EXPECT_EQ(DecimalText(65), "65");
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(-12), "-12");
    for (const std::int32_t value : {0, 1, 0x55, 0xFF, -1, INT32_MAX, INT32_MIN}) {
        EXPECT_EQ(HexEntryOrZero(HexText(value) + "H"), value) << value;
    }
}

// Switches the process to a comma-decimal locale for one test and back.
class CommaLocale {
public:
    CommaLocale() {
        saved_ = std::setlocale(LC_ALL, nullptr);
        savedGlobal_ = std::locale();
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                active_ = *std::localeconv()->decimal_point == ',';
                if (active_) {
                    std::locale::global(std::locale(name));
                    return;
                }
            }
        }
        std::setlocale(LC_ALL, saved_.c_str());
    }
    ~CommaLocale() {
        std::locale::global(savedGlobal_);
        std::setlocale(LC_ALL, saved_.c_str());
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool active() const { return active_; }

private:
    std::string saved_;
    std::locale savedGlobal_;
    bool active_ = false;
};

TEST(NumberTextTest, TextsIgnoreTheLocale) {
    const CommaLocale german;
    if (!german.active()) {
        GTEST_SKIP() << "no German locale installed";
    }
    EXPECT_EQ(PlainNumberText(30.25f), " 30.25");
    EXPECT_EQ(PlainNumberText(-0.5), "-.5");
    EXPECT_DOUBLE_EQ(DecimalEntry("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(DecimalEntry("12,5"), 12.0);
}

} // namespace
} // namespace qmt::model
