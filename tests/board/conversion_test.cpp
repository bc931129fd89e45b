#include "board_fixture.h"

#include <gtest/gtest.h>
#include <set>

namespace tarnlink::test {
namespace {

using Conversions = BoardTest;

TEST_F(Conversions, CodesFollowTheRangeBit) {
    PowerOn("local = 25.4\nremote1 = 30.25\nremote2 = -10.25\n");
    // Normal range: the code is the temperature, nothing below 0.
    EXPECT_EQ(Read(0x00), 25);
    EXPECT_EQ(Read(0x01), 30);
    EXPECT_EQ(Read(0x10), 0x40);
    EXPECT_EQ(Read(0x30), 0x00);
    EXPECT_EQ(Read(0x33), 0x00);

    // Extended range: 64 added; it applies to the very next read.
    Write(0x09, 0x04);
    EXPECT_EQ(Read(0x00), 25 + 64);
    EXPECT_EQ(Read(0x01), 30 + 64);
    EXPECT_EQ(Read(0x10), 0x40);
    EXPECT_EQ(Read(0x30), 0x35); // -10.25 = -11 + 0.75
    EXPECT_EQ(Read(0x33), 0xC0);

    PowerOn("local = 300\nremote1 = -80\nremote2 = 255.9\n");
    EXPECT_EQ(Read(0x00), 0xFF);
    EXPECT_EQ(QuarterCode(0x01, 0x10), 0);
    EXPECT_EQ(QuarterCode(0x30, 0x33), 255 * 4 + 3);
    Write(0x09, 0x04);
    EXPECT_EQ(Read(0x00), 0xFF) << "191 is the top of the extended range";
    EXPECT_EQ(QuarterCode(0x01, 0x10), 0) << "-64 is its bottom";
    EXPECT_EQ(QuarterCode(0x30, 0x33), 255 * 4 + 3);
}

TEST_F(Conversions, RemoteOffsetsAreAddedAtTheNextConversion) {
    PowerOn("remote1 = 30\nremote2 = 40\n");
    Write(0x11, 0xFE); // -2
    Write(0x12, 0x40); // +0.25
    Write(0x34, 0x01); // +1
    Write(0x35, 0xBF); // +0.5, bits 5:0 ignored
    EXPECT_EQ(QuarterCode(0x01, 0x10), 30 * 4) << "not before the next conversion";
    now = 62; // default rate 16 Hz: a conversion every 62.5 ms
    EXPECT_EQ(QuarterCode(0x01, 0x10), 30 * 4);
    now = 63;
    EXPECT_EQ(QuarterCode(0x01, 0x10), 28 * 4 + 1);
    EXPECT_EQ(QuarterCode(0x30, 0x33), 41 * 4 + 2);
    Write(0x09, 0x08); // the offset pointers now reach Remote 2's
    Write(0x11, 0x00);
    Write(0x12, 0x00);
    now = 126;
    EXPECT_EQ(QuarterCode(0x30, 0x33), 40 * 4);
    EXPECT_EQ(QuarterCode(0x01, 0x10), 40 * 4) << "the shared pointers reach Remote 2";
}

TEST_F(Conversions, ReadingsAdvanceAtTheConversionRate) {
    PowerOn("local = ramp 0 64 64\nremote1 = ramp 100 36 64\n");
    Write(0x0A, 0x04); // 1 Hz
    now = 999;
    EXPECT_EQ(Read(0x00), 0) << "the power-on conversion, still";
    now = 1000;
    EXPECT_EQ(Read(0x00), 1);
    EXPECT_EQ(Read(0x01), 99);
    now = 10'500;
    EXPECT_EQ(Read(0x00), 10);

    // Standby freezes the readings; leaving it converts at once.
    Write(0x09, 0x40);
    now = 30'000;
    EXPECT_EQ(Read(0x00), 10);
    EXPECT_EQ(Read(0x01), 90);
    Write(0x0F, 0x00); // one-shot
    EXPECT_EQ(Read(0x00), 30);
    now = 31'000;
    EXPECT_EQ(Read(0x00), 30);
    Write(0x09, 0x00);
    EXPECT_EQ(Read(0x00), 31);
    now = 31'999;
    EXPECT_EQ(Read(0x00), 31);
    now = 32'000;
    EXPECT_EQ(Read(0x00), 32);

    // A new rate starts its schedule at the write.
    Write(0x0A, 0x00); // one conversion every 16 s
    now = 47'999;
    EXPECT_EQ(Read(0x00), 32);
    now = 48'000;
    EXPECT_EQ(Read(0x00), 48);
    Write(0x0A, 0x0A); // 64 Hz
    now = 48'016;
    EXPECT_EQ(Read(0x00), 48);
    now = 100'000;
    EXPECT_EQ(Read(0x00), 64) << "a ramp holds its end";
    EXPECT_EQ(Read(0x01), 36);
}

TEST_F(Conversions, LongSilenceCatchesUpCheaply) {
    PowerOn("local = ramp 20 90 3600\n");
    Write(0x0A, 0x0A); // 64 Hz for a simulated day
    now = 24ull * 3600 * 1000;
    EXPECT_EQ(Read(0x00), 90);
}

TEST_F(Conversions, ChannelSelectLimitsWhatIsConverted) {
    PowerOn("local = ramp 0 100 100\nremote1 = ramp 0 100 100\nremote2 = ramp 0 100 100\n");
    Write(0x0A, 0x24); // 1 Hz, remote 1 only
    now = 10'000;
    EXPECT_EQ(Read(0x00), 0);
    EXPECT_EQ(Read(0x01), 10);
    EXPECT_EQ(Read(0x30), 0);
    Write(0x0A, 0x04); // all channels again
    now = 11'000;
    EXPECT_EQ(Read(0x00), 11);
    EXPECT_EQ(Read(0x30), 11);
}

TEST_F(Conversions, AveragingOffAddsQuarterDegreeNoise) {
    PowerOn("local = 25\nremote1 = 30\n");
    std::set<int> averaged;
    std::set<int> single;
    for (int i = 1; i <= 100; ++i) {
        now += 63;
        averaged.insert(QuarterCode(0x01, 0x10));
    }
    Write(0x0A, 0x88);
    for (int i = 1; i <= 100; ++i) {
        now += 63;
        single.insert(QuarterCode(0x01, 0x10));
    }
    EXPECT_EQ(averaged, std::set<int>{30 * 4});
    EXPECT_EQ(single, (std::set<int>{30 * 4 - 1, 30 * 4, 30 * 4 + 1}));
}

TEST_F(Conversions, DefaultBoardDriftsGently) {
    PowerOn("");
    std::set<int> local;
    for (int second = 0; second <= 120; ++second) {
        now = static_cast<std::uint64_t>(second) * 1000;
        const int reading = Read(0x00);
        EXPECT_GE(reading, 22);
        EXPECT_LE(reading, 28);
        local.insert(reading);
    }
    EXPECT_GE(local.size(), 3u) << "a graph of it should move";
}

} // namespace
} // namespace tarnlink::test
