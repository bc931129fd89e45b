#include "output/event_log.h"
#include "output/log_format.h"

#include <gtest/gtest.h>

namespace qmt::output {
namespace {

constexpr LogChannels All{true, true, true};

TEST(LogFormat, HeadsAndLinesKeepTheirBytesAndSignColumn) {
    EXPECT_EQ(LogRunHead(All), "\r\nQMT6171/3 Log File\r\n\r\nTime ,Local(\xB0"
                               "C) ,Remote1(\xB0"
                               "C) ,Remote2(\xB0"
                               "C) ,\r\n");
    EXPECT_EQ(LogHeaderLine(LogChannels{false, false, true}), "Time ,Remote2(\xB0"
                                                              "C) ,");
    EXPECT_EQ(LogDataLine(15, 100, {false, false, true}, {25.0f, 30.25f, 28.5f, false}),
              "1.5, 28.5,");
    // Extended range readings: the minus sign follows the comma directly.
    EXPECT_EQ(LogDataLine(2, 100, All, {-64.0f, -0.75f, -10.25f, false}), ".2,-64,-.75,-10.25,");
    EXPECT_EQ(LogDataLine(3, 100, All, {0.0f, 0.5f, 191.0f, false}), ".3, 0, .5, 191,");
    // The Remote1 column stays empty while the shared registers show Remote2.
    EXPECT_EQ(LogDataLine(1, 100, All, {25.0f, 28.5f, 28.5f, true}), ".1, 25,, 28.5,");
}

TEST(LogFormat, TimeFieldIsTheNominalTimeInSixtyFourBits) {
    EXPECT_EQ(LogTimeField(0, 250), "0");
    EXPECT_EQ(LogTimeField(3, 250), ".75");
    EXPECT_EQ(LogTimeField(5, 250), "1.25");
    EXPECT_EQ(LogTimeField(123456, 0), "0");
    EXPECT_EQ(LogTimeField(7, 3), ".021");
    // Past 2^31 ms (24.8 days) a 32-bit product would wrap negative.
    EXPECT_EQ(LogTimeField(21'474'837, 100), "2147483.7");
    EXPECT_EQ(LogTimeField(3, 2'147'483'647), "6442450.941");
}

TEST(EventLog, LinesFollowTheDataLogsManner) {
    const model::AlertEvent high{12.0, 2, true, 70.25f, 70.0, false};
    const model::AlertEvent low{13.0, 1, false, -1.5f, 0.0, true};
    const model::AlertEvent alert{14.0, 11, true, std::nullopt, std::nullopt, false};
    EXPECT_EQ(EventDataLine("2", low), "2,Local Low,cleared,-1.5, 0,possible anomaly,");
    EXPECT_EQ(
        EventFileText({high, alert}, [](double t) { return std::to_string(static_cast<int>(t)); }),
        "Time ,Bit ,State ,Temperature(\xB0"
        "C) ,Limit(\xB0"
        "C) ,Anomaly ,\r\n12,Remote1 High,set, 70.25, 70,,\r\n14,ALERT Bit,set,,,,\r\n");
}

} // namespace
} // namespace qmt::output
