#include "output/log_format.h"

#include <gtest/gtest.h>

namespace qmt::output {
namespace {

constexpr LogChannels All{true, true, true};

TEST(LogFormat, HeadsAndLinesFollowTheChannels) {
    EXPECT_EQ(LogHeaderLine(All), "Time ,Local(\xB0"
                                  "C) ,Remote1(\xB0"
                                  "C) ,Remote2(\xB0"
                                  "C) ,");
    EXPECT_EQ(LogHeaderLine(LogChannels{false, false, true}), "Time ,Remote2(\xB0"
                                                              "C) ,");
    EXPECT_EQ(LogDataLine(15, 100, {false, false, true}, {25.0f, 30.25f, 28.5f, false}),
              "1.5, 28.5,");
    EXPECT_EQ(LogDataLine(0, 100, {true, false, true}, {25.0f, 30.25f, 28.5f, false}),
              "0, 25, 28.5,");
    EXPECT_EQ(LogRunHead(LogChannels{true, false, false}),
              "\r\nQMT6171/3 Log File\r\n\r\nTime ,Local(\xB0"
              "C) ,\r\n");
}

TEST(LogFormat, NegativeAndFractionalTemperaturesKeepTheirSignColumn) {
    // Extended range readings: the minus sign follows the comma directly.
    EXPECT_EQ(LogDataLine(2, 100, All, {-64.0f, -0.75f, -10.25f, false}), ".2,-64,-.75,-10.25,");
    EXPECT_EQ(LogDataLine(3, 100, All, {0.0f, 0.5f, 191.0f, false}), ".3, 0, .5, 191,");
}

TEST(LogFormat, Remote1ColumnStaysEmptyWhileTheSharedRegistersShowRemote2) {
    EXPECT_EQ(LogDataLine(1, 100, All, {25.0f, 28.5f, 28.5f, true}), ".1, 25,, 28.5,");
    EXPECT_EQ(LogDataLine(1, 100, {false, true, false}, {25.0f, 28.5f, 28.5f, true}), ".1,,");
}

TEST(LogFormat, TimeFieldIsTheNominalTimeInSixtyFourBits) {
    const char* const quarterSteps[] = {"0", ".25", ".5", ".75", "1", "1.25"};
    for (int line = 0; line < 6; ++line) {
        EXPECT_EQ(LogTimeField(line, 250), quarterSteps[line]);
    }
    EXPECT_EQ(LogTimeField(123456, 0), "0");
    EXPECT_EQ(LogTimeField(7, 3), ".021");
    // Past 2^31 ms (24.8 days) a 32-bit product would wrap negative.
    EXPECT_EQ(LogTimeField(21'474'837, 100), "2147483.7");
    EXPECT_EQ(LogTimeField(8'640'000'000LL, 10), "86400000");
    EXPECT_EQ(LogTimeField(3, 2'147'483'647), "6442450.941");
}

} // namespace
} // namespace qmt::output
