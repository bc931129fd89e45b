#include "model/number_text.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <locale>
#include <string>
#include <utility>

namespace qmt::model {
namespace {

TEST(NumberTextTest, PlainTextInBothPrecisions) {
    const std::pair<double, const char*> sameInBoth[] = {
        {0.1, " .1"}, {1e-3, " .001"},    {-0.75, "-.75"},         {25.0, " 25"},
        {-0.0, " 0"}, {-10.25, "-10.25"}, {123456.7, " 123456.7"}, {1e20, " 1E+20"},
    };
    for (const auto& [value, text] : sameInBoth) {
        EXPECT_EQ(PlainNumberText(static_cast<float>(value)), text) << value;
        EXPECT_EQ(PlainNumberText(value), text) << value;
    }
    EXPECT_EQ(PlainNumberText(1.0f / 3.0f), " .3333333");
    EXPECT_EQ(PlainNumberText(1.0 / 3.0), " .333333333333333");
    EXPECT_EQ(PlainNumberText(2147483.647f), " 2147484");
    EXPECT_EQ(PlainNumberText(2147483.647), " 2147483.647");
    EXPECT_EQ(PlainNumberTextTrimmed(25.0f), "25");
    EXPECT_EQ(PlainNumberTextTrimmed(0.5), ".5");
}

TEST(NumberTextTest, RoundsHalvesToEven) {
    const std::pair<double, double> cases[] = {
        {12.5, 12.0}, {13.5, 14.0}, {-2.5, -2.0}, {-3.5, -4.0},
        {0.5, 0.0},   {2.6, 3.0},   {-2.6, -3.0}, {1e300, 1e300},
    };
    for (const auto& [value, rounded] : cases) {
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    }
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::numeric_limits<double>::quiet_NaN())));
}

TEST(NumberTextTest, DecimalEntryTakesTheNumberAtTheStart) {
    const std::pair<const char*, double> cases[] = {
        {"250ms", 250.0}, {"1 000", 1000.0},  {"", 0.0},       {"12.5", 12.5},
        {"\t-3", -3.0},   {" - 4 . 5", -4.5}, {"-.25", -0.25}, {"1.2.3", 1.2},
        {"1E-2", 0.01},   {"2e+", 2.0},       {"3e 2", 300.0}, {"--5", 0.0},
        {"1,5", 1.0},     {"0x10", 0.0},      {"1e-999", 0.0}, {"0.000e-99999", 0.0},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_DOUBLE_EQ(DecimalEntry(text), value) << '"' << text << '"';
    }
    EXPECT_EQ(DecimalEntry("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_FALSE(std::signbit(DecimalEntry("-0")));
    // Long digit runs must not overflow the parser's own counters.
    EXPECT_EQ(DecimalEntry("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(DecimalEntry("1" + std::string(400, '0')), std::numeric_limits<double>::infinity());
}

TEST(NumberTextTest, DecimalEntryToInt32RoundsAndRejectsOverflow) {
    const std::pair<const char*, std::int32_t> fitting[] = {
        {"2.5", 2},
        {"-3.5", -4},
        {"250ms", 250},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
    };
    for (const auto& [text, expected] : fitting) {
        std::int32_t value = 7;
        EXPECT_TRUE(DecimalEntryToInt32(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    for (const char* text : {"2147483647.5", "-2147483649", "1e999"}) {
        std::int32_t value = 7;
        EXPECT_FALSE(DecimalEntryToInt32(text, value)) << text;
        EXPECT_EQ(value, 7) << text;
    }
}

TEST(NumberTextTest, HexEntryReadsLeadingHexDigits) {
    const std::pair<const char*, std::int32_t> fitting[] = {
        {"3H", 3},        {"fe", 254},         {"", 0}, {"zz", 0}, {" 3", 0},
        {"FFFFFFFF", -1}, {"00000000FF", 255},
    };
    for (const auto& [text, expected] : fitting) {
        std::int32_t value = 42;
        EXPECT_TRUE(HexEntry(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    for (const char* text : {"123456789", "FFFFFFFFF"}) {
        std::int32_t value = 42;
        EXPECT_FALSE(HexEntry(text, value)) << text;
        EXPECT_EQ(value, 42) << text;
        EXPECT_EQ(HexEntryOrZero(text), 0) << text;
    }
}

TEST(NumberTextTest, HexAndDecimalTexts) {
    EXPECT_EQ(HexText(0), "0");
    EXPECT_EQ(HexText(0x3A), "3A");
    EXPECT_EQ(HexText(-1), "FFFFFFFF");
    EXPECT_EQ(DecimalText(-12), "-12");
    for (const std::int32_t value : {0, 0x55, -1, INT32_MAX, INT32_MIN}) {
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
