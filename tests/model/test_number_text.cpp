#include "model/number_text.h"

#include <clocale>
#include <gtest/gtest.h>
#include <limits>
#include <locale>
#include <string>
#include <utility>

namespace qmt::model {
namespace {

TEST(NumberTextTest, PlainTextInBothPrecisions) {
    const std::pair<double, const char*> sameInBoth[] = {
        {0.1, " .1"},       {-0.75, "-.75"},  {25.0, " 25"},           {-0.0, " 0"},
        {-10.25, "-10.25"}, {1e20, " 1E+20"}, {123456.7, " 123456.7"},
    };
    for (const auto& [value, text] : sameInBoth) {
        EXPECT_EQ(PlainNumberText(static_cast<float>(value)), text) << value;
        EXPECT_EQ(PlainNumberText(value), text) << value;
    }
    EXPECT_EQ(PlainNumberText(1.0f / 3.0f), " .3333333");
    EXPECT_EQ(PlainNumberText(1.0 / 3.0), " .333333333333333");
    EXPECT_EQ(PlainNumberText(2147483.647f), " 2147484");
    EXPECT_EQ(PlainNumberText(2147483.647), " 2147483.647");
    EXPECT_EQ(PlainNumberTextTrimmed(0.5), ".5");
}

TEST(NumberTextTest, DecimalEntryTakesTheNumberAtTheStart) {
    const std::pair<const char*, double> cases[] = {
        {"250ms", 250.0}, {"1 000", 1000.0}, {"", 0.0},      {" - 4 . 5", -4.5},
        {"-.25", -0.25},  {"1.2.3", 1.2},    {"1E-2", 0.01}, {"2e+", 2.0},
        {"--5", 0.0},     {"1,5", 1.0},      {"0x10", 0.0},  {"1e-999", 0.0},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_DOUBLE_EQ(DecimalEntry(text), value) << '"' << text << '"';
    }
    // Long digit runs must not overflow the parser's own counters.
    EXPECT_EQ(DecimalEntry("1" + std::string(400, '0')), std::numeric_limits<double>::infinity());

    std::int32_t value = 7;
    EXPECT_TRUE(DecimalEntryToInt32("-3.5", value));
    EXPECT_EQ(value, -4);
    for (const char* text : {"2147483647.5", "-2147483649", "1e999"}) {
        value = 7;
        EXPECT_FALSE(DecimalEntryToInt32(text, value)) << text;
        EXPECT_EQ(value, 7) << text;
    }
}

TEST(NumberTextTest, StrictDecimalTakesOneWholeFiniteNumberOnly) {
    const std::pair<const char*, double> numbers[] = {
        {" 30.25", 30.25}, {"+1e2", 100.0}, {"1.", 1.0}, {"\t.5", 0.5}, {"-0", 0.0}};
    for (const auto& [text, value] : numbers) {
        EXPECT_EQ(StrictDecimal(text), std::optional(value)) << '"' << text << '"';
    }
    for (const char* text : {"", " ", ".", "-", "25C", "1,5", "1 5", "inf", "-nan", "--1", "+-1",
                             "0x10", "1e999", "1e", "\xB0"}) {
        EXPECT_FALSE(StrictDecimal(text).has_value()) << '"' << text << '"';
    }
}

TEST(NumberTextTest, HexEntryReadsLeadingHexDigits) {
    const std::pair<const char*, std::int32_t> fitting[] = {
        {"3H", 3}, {"fe", 254}, {" 3", 0}, {"FFFFFFFF", -1}, {"00000000FF", 255}};
    for (const auto& [text, expected] : fitting) {
        std::int32_t value = 42;
        EXPECT_TRUE(HexEntry(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    std::int32_t value = 42;
    EXPECT_FALSE(HexEntry("123456789", value));
    EXPECT_EQ(value, 42);
    for (const std::int32_t v : {0, -1, INT32_MAX, INT32_MIN}) {
        EXPECT_EQ(HexEntryOrZero(HexText(v) + "H"), v) << v;
    }
}

TEST(NumberTextTest, TextsIgnoreTheLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no German locale installed";
    }
    std::locale::global(std::locale("de_DE.UTF-8"));
    EXPECT_EQ(PlainNumberText(30.25f), " 30.25");
    EXPECT_EQ(PlainNumberText(-0.5), "-.5");
    EXPECT_DOUBLE_EQ(DecimalEntry("12,5"), 12.0);
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, saved.c_str());
}

} // namespace
} // namespace qmt::model
