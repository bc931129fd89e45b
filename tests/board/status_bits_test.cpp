#include "board_fixture.h"

#include <gtest/gtest.h>

namespace tarnlink::test {
namespace {

// Status Reg 1, then Status Reg 2.
constexpr int Busy = 0x80, LocalHigh = 0x40, LocalLow = 0x20, Remote1High = 0x10, Remote1Low = 0x08,
              Diode1Open = 0x04, Remote1Therm = 0x02, LocalTherm = 0x01;
constexpr int Remote2High = 0x10, Remote2Low = 0x08, Diode2Open = 0x04, Remote2Therm = 0x02,
              Alert = 0x01;

class StatusBits : public BoardTest {
protected:
    // Moves the clock past the next conversion at the default 16 Hz.
    void NextConversion() { now += 63; }
    int Status1() { return Read(0x02) & ~Busy; }
    int Status2() { return Read(0x23); }
};

TEST_F(StatusBits, LimitsSetBitsThatLatchUntilRead) {
    PowerOn("local = 25\nremote1 = 30.5\nremote2 = 39.75\n");
    Write(0x0B, 24); // local high limit below the reading
    Write(0x0E, 31); // remote 1 low limit 31.00 above 30.5
    Write(0x32, 40); // remote 2 low limit 40.00, just above 39.75
    EXPECT_EQ(Status1(), 0) << "limits are compared at the next conversion";
    NextConversion();
    EXPECT_EQ(Status1(), LocalHigh | Remote1Low);
    // Conditions gone: the bits stay until the register has been read once more.
    Write(0x0B, 25); // equal is within the limits
    Write(0x0E, 0);
    Write(0x32, 0);
    NextConversion();
    EXPECT_EQ(Status1(), LocalHigh | Remote1Low);
    EXPECT_EQ(Status1(), 0);
    EXPECT_EQ(Read(0x23, ChipAddress, RequestStatusPoll), Remote2Low | Alert);
    EXPECT_EQ(Read(0x23, ChipAddress, RequestStatusPoll), 0) << "the poll clears it too";

    // A brief excursion between two reads is not lost.
    Write(0x0C, 26);
    NextConversion();
    Write(0x0C, 0);
    NextConversion();
    EXPECT_EQ(Status1(), LocalLow);
}

TEST_F(StatusBits, ThermClearsOnlyBelowLimitMinusHysteresis) {
    PowerOn("local = 50\nremote1 = 50\nremote2 = 50\n");
    const auto thermLimits = [this](int limit) {
        for (const int pointer : {0x20, 0x19, 0x39}) {
            Write(pointer, limit);
        }
        NextConversion();
    };
    thermLimits(49);
    EXPECT_EQ(Status1(), LocalTherm | Remote1Therm);
    EXPECT_EQ(Status2(), Remote2Therm) << "THERM does not raise ALERT";
    Write(0x21, 5);
    thermLimits(55); // 50 is not above 55, but not below 55 - 5 either
    EXPECT_EQ(Status1(), LocalTherm | Remote1Therm);
    Write(0x21, 4);
    NextConversion();
    EXPECT_EQ(Status1(), LocalTherm | Remote1Therm) << "latched until read";
    EXPECT_EQ(Status1(), 0);
    EXPECT_EQ(Status2(), Remote2Therm);
    EXPECT_EQ(Status2(), 0);
}

TEST_F(StatusBits, OpenDiodeReadsTopOfScaleAndAlerts) {
    PowerOn("remote1 = 30\nremote2 = open\n");
    Write(0x09, 0x04);
    EXPECT_EQ(QuarterCode(0x30, 0x33), 0xFF * 4) << "in the extended range too";
    EXPECT_EQ(Status1(), 0);
    EXPECT_EQ(Status2(), Diode2Open | Remote2High | Remote2Therm | Alert);
    PowerOn("remote1 = open\n");
    EXPECT_EQ(QuarterCode(0x01, 0x10), 0xFF * 4);
    EXPECT_EQ(Status1(), Diode1Open | Remote1High | Remote1Therm);
    EXPECT_EQ(Status2(), Alert);
}

TEST_F(StatusBits, MasksKeepConditionsFromAlertButNotFromStatus) {
    PowerOn("local = 25\nremote1 = 30\nremote2 = 40\n");
    // Configuration Reg 1, the three high limits, and the ALRT bit that follows.
    const int cases[][5] = {{0x00, 0x55, 0x55, 0x55, 0}, {0x00, 0x10, 0x55, 0x55, Alert},
                            {0x80, 0x10, 0x10, 0x10, 0}, {0x03, 0x10, 0x55, 0x55, Alert},
                            {0x02, 0x55, 0x10, 0x55, 0}, {0x02, 0x55, 0x55, 0x10, Alert},
                            {0x01, 0x55, 0x55, 0x10, 0}, {0x01, 0x55, 0x10, 0x55, Alert},
                            {0x83, 0x10, 0x10, 0x10, 0}};
    for (const auto& [config, localHigh, remote1High, remote2High, alert] : cases) {
        Write(0x09, config);
        Write(0x0B, localHigh);
        Write(0x0D, remote1High);
        Write(0x31, remote2High);
        NextConversion();
        Status1();
        Status2(); // drop what was latched before
        NextConversion();
        EXPECT_EQ(Status2() & Alert, alert) << std::hex << config << " " << localHigh;
    }
    EXPECT_EQ(Status1(), LocalHigh | Remote1High);
    EXPECT_EQ(Status2(), Remote2High);
}

TEST_F(StatusBits, ConsecutiveAlertCountsConversions) {
    PowerOn("local = 25\n");
    Write(0x22, 0x06); // bits 3:1 = 011: three in a row
    Write(0x0B, 0x10);
    for (const int alert : {0, 0, Alert}) {
        NextConversion();
        EXPECT_EQ(Status2(), alert);
    }
    EXPECT_EQ(Status1(), LocalHigh) << "status bits do not wait";
}

TEST_F(StatusBits, Therm2PinMakesAlertAComparatorOnHighLimits) {
    PowerOn("local = 25\nremote1 = 30\n");
    Write(0x09, 0x20);
    // Low limit 30 does nothing; high limit 20 sets, 30 is within the 10-degree
    // hysteresis so it holds, 40 clears: a comparator, not latched.
    const int steps[][3] = {{30, 0x55, 0}, {0, 20, Alert}, {0, 30, Alert}, {0, 40, 0}};
    for (const auto& [low, high, alert] : steps) {
        Write(0x0C, low);
        Write(0x0B, high);
        NextConversion();
        EXPECT_EQ(Status2(), alert) << high;
    }
}

TEST_F(StatusBits, BusyWhileAConversionRunsAndStandbyFreezes) {
    PowerOn("local = 25\n");
    Write(0x0A, 0x04); // 1 Hz: each conversion runs for the last 12 ms of its second
    now = 500;
    EXPECT_EQ(Read(0x02) & Busy, 0);
    now = 1990;
    EXPECT_EQ(Read(0x02) & Busy, Busy);
    Write(0x0B, 0x10);
    Write(0x09, 0x40);
    EXPECT_EQ(Read(0x02) & Busy, 0) << "standby";
    now += 10'000;
    EXPECT_EQ(Status1(), 0) << "no conversion since the limit changed";
    Write(0x0F, 0); // one-shot
    EXPECT_EQ(Status1(), LocalHigh);
}

} // namespace
} // namespace tarnlink::test
