#include "board_fixture.h"

namespace tarnlink::test {
namespace {

using Conversions = BoardTest;

TEST_F(Conversions, CodesFollowTheRangeBitAndStayInIt) {
    PowerOn("local = 25.6\nremote1 = 30.25\nremote2 = -10.25\n");
    EXPECT_EQ(Read(0x00), 26);
    EXPECT_EQ(QuarterCode(0x01, 0x10), 30 * 4 + 1);
    EXPECT_EQ(QuarterCode(0x30, 0x33), 0) << "nothing below 0 in the normal range";
    Write(0x09, 0x04); // extended range: 64 added, from the very next read
    EXPECT_EQ(QuarterCode(0x01, 0x10), (30 + 64) * 4 + 1);
    EXPECT_EQ(QuarterCode(0x30, 0x33), 0x35 * 4 + 3); // -10.25 = -11 + 0.75

    PowerOn("local = 300\nremote1 = -80\nremote2 = 255.9\n");
    EXPECT_EQ(QuarterCode(0x30, 0x33), 255 * 4 + 3);
    Write(0x09, 0x04);
    EXPECT_EQ(Read(0x00), 0xFF) << "191 is the top of the extended range";
    EXPECT_EQ(QuarterCode(0x01, 0x10), 0) << "-64 is its bottom";

    // Extreme but accepted numbers must not turn into NaN (which reads as 0).
    PowerOn("local = ramp 1e308 -1e308 10\nremote1 = sine 25 2 1e-320\n");
    EXPECT_EQ(Read(0x00), 0xFF);
    now = 63;
    EXPECT_NEAR(Read(0x01), 25, 2);
}

TEST_F(Conversions, ReadingsAndOffsetsChangeAtTheConversionRate) {
    PowerOn("local = ramp 0 64 64\nremote1 = 30\n");
    Write(0x11, 0xFE); // -2
    Write(0x12, 0x40); // +0.25
    now = 62;          // default rate 16 Hz: a conversion every 62.5 ms
    EXPECT_EQ(QuarterCode(0x01, 0x10), 30 * 4);
    now = 63;
    EXPECT_EQ(QuarterCode(0x01, 0x10), 28 * 4 + 1);

    Write(0x0A, 0x04); // 1 Hz
    now = 1062;
    EXPECT_EQ(Read(0x00), 0);
    now = 1063;
    EXPECT_EQ(Read(0x00), 1);
    // Standby freezes the readings; a one-shot or leaving standby converts at once, and the
    // schedule restarts from there.
    Write(0x09, 0x40);
    now = 30'000;
    EXPECT_EQ(Read(0x00), 1);
    Write(0x0F, 0x00);
    EXPECT_EQ(Read(0x00), 30);
    now = 31'250;
    Write(0x09, 0x00);
    EXPECT_EQ(Read(0x00), 31);
    now = 32'249;
    EXPECT_EQ(Read(0x00), 31);
    now = 32'250;
    EXPECT_EQ(Read(0x00), 32);
    Write(0x0A, 0x0A); // 64 Hz for a simulated day: only the last conversions are worked out
    now = 24ull * 3600 * 1000;
    EXPECT_EQ(Read(0x00), 64) << "a ramp holds its end";
}

} // namespace
} // namespace tarnlink::test
