#include "output/event_log.h"

#include <gtest/gtest.h>

namespace qmt::output {
namespace {

std::string Seconds(double t) {
    return std::to_string(static_cast<int>(t));
}

TEST(EventLog, LinesFollowTheDataLogsManner) {
    model::AlertEvent high{12.0, 2, true, 70.25f, 70.0, false};
    model::AlertEvent low{13.0, 1, false, -1.5f, 0.0, true};
    model::AlertEvent alert{14.0, 11, true, std::nullopt, std::nullopt, false};
    EXPECT_EQ(EventHeaderLine(), "Time ,Bit ,State ,Temperature(\xB0"
                                 "C) ,Limit(\xB0"
                                 "C) ,Anomaly ,");
    EXPECT_EQ(EventDataLine("1.5", high), "1.5,Remote1 High,set, 70.25, 70,,");
    EXPECT_EQ(EventDataLine("2", low), "2,Local  Low,cleared,-1.5, 0,possible anomaly,");
    EXPECT_EQ(EventDataLine("3", alert), "3,ALERT Bit,set,,,,");
    EXPECT_EQ(EventFileText({high, alert}, &Seconds),
              EventHeaderLine() +
                  "\r\n12,Remote1 High,set, 70.25, 70,,\r\n14,ALERT Bit,set,,,,\r\n");
}

} // namespace
} // namespace qmt::output
