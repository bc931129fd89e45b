#include "board_fixture.h"

#include <gtest/gtest.h>

namespace tarnlink::test {
namespace {

// Status Reg 1
constexpr int Busy = 0x80;
constexpr int LocalHigh = 0x40;
constexpr int LocalLow = 0x20;
constexpr int Remote1High = 0x10;
constexpr int Remote1Low = 0x08;
constexpr int Diode1Open = 0x04;
constexpr int Remote1Therm = 0x02;
constexpr int LocalTherm = 0x01;
// Status Reg 2
constexpr int Remote2High = 0x10;
constexpr int Remote2Low = 0x08;
constexpr int Diode2Open = 0x04;
constexpr int Remote2Therm = 0x02;
constexpr int Alert = 0x01;

class StatusBits : public BoardTest {
protected:
    // Moves the clock past the next conversion at the default 16 Hz.
    void NextConversion() { now += 63; }
    int Status1() { return Read(0x02) & ~Busy; }
    int Status2() { return Read(0x23); }
};

TEST_F(StatusBits, LimitsSetBitsThatLatchUntilRead) {
    PowerOn("local = 25\nremote1 = 30.5\nremote2 = 40\n");
    EXPECT_EQ(Status1(), 0);
    EXPECT_EQ(Status2(), 0);

    Write(0x0B, 24); // local high limit below the reading
    Write(0x0E, 31); // remote 1 low limit 31.00 above 30.5
    Write(0x32, 40); // remote 2 low limit 40.25, just above 40
    Write(0x37, 0x40);
    EXPECT_EQ(Status1(), 0) << "limits are compared at the next conversion";
    NextConversion();
    EXPECT_EQ(Status1(), LocalHigh | Remote1Low);
    EXPECT_EQ(Status2(), Remote2Low | Alert);

    // Conditions gone: the bits stay until the register has been read once more.
    Write(0x0B, 0x55);
    Write(0x0E, 0);
    Write(0x32, 0);
    Write(0x37, 0);
    NextConversion();
    EXPECT_EQ(Status1(), LocalHigh | Remote1Low);
    EXPECT_EQ(Status1(), 0);
    EXPECT_EQ(Poll(0x23), Remote2Low | Alert) << "the status poll reads the same register";
    EXPECT_EQ(Poll(0x23), 0);

    // A brief excursion between two reads is not lost.
    Write(0x0C, 26);
    NextConversion();
    Write(0x0C, 0);
    NextConversion();
    NextConversion();
    EXPECT_EQ(Status1(), LocalLow);
    EXPECT_EQ(Status1(), 0);

    // Equal is within the limits.
    Write(0x0B, 25);
    Write(0x0D, 30);
    Write(0x13, 0x80);
    NextConversion();
    EXPECT_EQ(Status1(), 0);
}

TEST_F(StatusBits, ThermClearsOnlyBelowLimitMinusHysteresis) {
    PowerOn("local = 50\nremote1 = 50\nremote2 = 50\n");
    Write(0x20, 49);
    Write(0x19, 49);
    Write(0x39, 49);
    NextConversion();
    EXPECT_EQ(Status1(), LocalTherm | Remote1Therm);
    EXPECT_EQ(Status2(), Remote2Therm) << "THERM does not raise ALERT";

    // 50 is not above 55, but not below 55 - 10 either: still over.
    Write(0x20, 55);
    Write(0x19, 55);
    Write(0x39, 55);
    NextConversion();
    EXPECT_EQ(Status1(), LocalTherm | Remote1Therm);
    EXPECT_EQ(Status1(), LocalTherm | Remote1Therm);

    Write(0x21, 5); // 50 is still not below 55 - 5
    NextConversion();
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
    EXPECT_EQ(Read(0x30), 0xFF);
    EXPECT_EQ(Read(0x33), 0x00);
    EXPECT_EQ(Status1(), 0);
    EXPECT_EQ(Status2(), Diode2Open | Remote2High | Remote2Therm | Alert);
    Write(0x09, 0x04);
    EXPECT_EQ(Read(0x30), 0xFF) << "the same code in the extended range";

    PowerOn("remote1 = open\n");
    EXPECT_EQ(Read(0x01), 0xFF);
    EXPECT_EQ(Status1(), Diode1Open | Remote1High | Remote1Therm);
    EXPECT_EQ(Status2(), Alert);
}

TEST_F(StatusBits, MasksKeepConditionsFromAlert) {
    PowerOn("local = 25\nremote1 = 30\nremote2 = 40\n");
    const auto alertAfter = [this](int config, int localHigh, int remote1High, int remote2High) {
        Write(0x09, config);
        Write(0x0B, localHigh);
        Write(0x0D, remote1High);
        Write(0x31, remote2High);
        NextConversion();
        Status1();
        Status2(); // drop what was latched before
        NextConversion();
        return Status2() & Alert;
    };
    EXPECT_EQ(alertAfter(0x00, 0x55, 0x55, 0x55), 0);
    EXPECT_EQ(alertAfter(0x00, 0x10, 0x55, 0x55), Alert);
    EXPECT_EQ(alertAfter(0x80, 0x10, 0x10, 0x10), 0) << "Msk masks everything";
    EXPECT_EQ(alertAfter(0x03, 0x10, 0x55, 0x55), Alert) << "local has no mask of its own";
    EXPECT_EQ(alertAfter(0x02, 0x55, 0x10, 0x55), 0);
    EXPECT_EQ(alertAfter(0x02, 0x55, 0x55, 0x10), Alert);
    EXPECT_EQ(alertAfter(0x01, 0x55, 0x55, 0x10), 0);
    EXPECT_EQ(alertAfter(0x01, 0x55, 0x10, 0x55), Alert);
    // The status bits themselves are never masked.
    EXPECT_EQ(alertAfter(0x83, 0x10, 0x10, 0x10), 0);
    EXPECT_EQ(Status1(), LocalHigh | Remote1High);
    EXPECT_EQ(Status2(), Remote2High);
}

TEST_F(StatusBits, ConsecutiveAlertCountsConversions) {
    PowerOn("local = 25\n");
    Write(0x22, 0x06); // bits 3:1 = 011: three in a row
    Write(0x0B, 0x10);
    NextConversion();
    EXPECT_EQ(Status2(), 0);
    NextConversion();
    EXPECT_EQ(Status2(), 0);
    NextConversion();
    EXPECT_EQ(Status2(), Alert);
    EXPECT_EQ(Status1(), LocalHigh) << "status bits do not wait";
}

TEST_F(StatusBits, Therm2PinMakesAlertAComparatorOnHighLimits) {
    PowerOn("local = 25\nremote1 = 30\n");
    Write(0x09, 0x20);
    Write(0x0C, 30); // a low-limit condition does not drive THERM2
    NextConversion();
    EXPECT_EQ(Status2(), 0);
    Write(0x0C, 0);
    Write(0x0B, 20);
    NextConversion();
    EXPECT_EQ(Status2(), Alert);
    EXPECT_EQ(Status2(), Alert);
    Write(0x0B, 30); // 25 is within the 10-degree hysteresis of 30
    NextConversion();
    EXPECT_EQ(Status2(), Alert);
    Write(0x0B, 40);
    NextConversion();
    EXPECT_EQ(Status2(), 0) << "not latched";
}

TEST_F(StatusBits, BusyWhileAConversionRuns) {
    PowerOn("local = 25\n");
    Write(0x0A, 0x04); // 1 Hz: each conversion runs for the last 12 ms of its second
    now = 500;
    EXPECT_EQ(Read(0x02) & Busy, 0);
    now = 1990;
    EXPECT_EQ(Read(0x02) & Busy, Busy);
    Write(0x09, 0x40);
    EXPECT_EQ(Read(0x02) & Busy, 0) << "standby";
}

TEST_F(StatusBits, StandbyFreezesStatus) {
    PowerOn("local = 25\n");
    Write(0x0B, 0x10);
    Write(0x09, 0x40);
    now += 10'000;
    EXPECT_EQ(Status1(), 0) << "no conversion since the limit changed";
    Write(0x0F, 0); // one-shot
    EXPECT_EQ(Status1(), LocalHigh);
}

} // namespace
} // namespace tarnlink::test
