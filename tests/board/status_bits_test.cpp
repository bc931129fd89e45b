#include "board_config.h"
#include "board_fixture.h"

namespace tarnlink::test {
namespace {

// Status Reg 1, then Status Reg 2 (the same bit values where their names match).
constexpr int Busy = 0x80, LocalHigh = 0x40, RemoteHigh = 0x10, RemoteLow = 0x08, DiodeOpen = 0x04,
              RemoteTherm = 0x02, LocalTherm = 0x01, Alert = 0x01;

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
    EXPECT_EQ(Status1(), LocalHigh | RemoteLow);
    // Conditions gone: the bits stay until the register has been read once more.
    Write(0x0B, 25); // equal is within the limits
    Write(0x0E, 0);
    Write(0x32, 0);
    NextConversion();
    EXPECT_EQ(Status1(), LocalHigh | RemoteLow);
    EXPECT_EQ(Status1(), 0);
    EXPECT_EQ(Read(0x23, ChipAddress, RequestStatusPoll), RemoteLow | Alert);
    EXPECT_EQ(Read(0x23, ChipAddress, RequestStatusPoll), 0) << "the poll clears it too";

    Write(0x22, 0x02); // ALERT waits for two conversions in a row; the status does not
    Write(0x0B, 0x10);
    NextConversion();
    EXPECT_EQ(Status2(), 0);
    EXPECT_EQ(Status1(), LocalHigh);
    NextConversion();
    EXPECT_EQ(Status2(), Alert);
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
    EXPECT_EQ(Status1(), LocalTherm | RemoteTherm);
    EXPECT_EQ(Status2(), RemoteTherm) << "THERM does not raise ALERT";
    Write(0x21, 5);
    thermLimits(55); // 50 is not above 55, but not below 55 - 5 either
    EXPECT_EQ(Status1(), LocalTherm | RemoteTherm);
    Write(0x21, 4);
    NextConversion();
    EXPECT_EQ(Status1(), LocalTherm | RemoteTherm) << "latched until read";
    EXPECT_EQ(Status1(), 0);
}

TEST_F(StatusBits, AFaultyComparatorTripsItsHighLimitsLate) {
    PowerOn("local = 72\nremote1 = 73.25\nremote2 = 73\nhigh_trips_late = 3\n");
    for (const int pointer : {0x0B, 0x0D, 0x31}) {
        Write(pointer, 70); // high limits 70 °C
    }
    NextConversion();
    // Only Remote 1, 3.25 °C over its limit, trips; the low and THERM bits are right.
    EXPECT_EQ(Status1(), RemoteHigh);
    EXPECT_EQ(Status2(), Alert);
    Write(0x20, 71);
    NextConversion();
    EXPECT_EQ(Status1(), RemoteHigh | LocalTherm);

    std::string error;
    BoardConfig config;
    EXPECT_FALSE(ParseBoardText("high_trips_late = hot\n", config, error));
    EXPECT_EQ(error, "line 1: bad temperature 'hot' (-255 to 255)");
}

TEST_F(StatusBits, OpenDiodeReadsTopOfScaleAndAlerts) {
    PowerOn("remote1 = 30\nremote2 = open\n");
    Write(0x09, 0x04);
    EXPECT_EQ(QuarterCode(0x30, 0x33), 0xFF * 4) << "in the extended range too";
    EXPECT_EQ(Status1(), 0);
    EXPECT_EQ(Status2(), DiodeOpen | RemoteHigh | RemoteTherm | Alert);
    PowerOn("remote1 = open\n");
    EXPECT_EQ(Status1(), DiodeOpen | RemoteHigh | RemoteTherm);
    EXPECT_EQ(Status2(), Alert);
}

TEST_F(StatusBits, MasksKeepConditionsFromAlertButNotFromStatus) {
    PowerOn("local = 25\nremote1 = 30\nremote2 = 40\n");
    // Configuration Reg 1, the three high limits, and the ALRT bit that follows.
    const int cases[][5] = {{0x00, 0x10, 0x55, 0x55, Alert},
                            {0x02, 0x55, 0x10, 0x55, 0},
                            {0x01, 0x55, 0x55, 0x10, 0},
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
    EXPECT_EQ(Status1(), LocalHigh | RemoteHigh);
    EXPECT_EQ(Status2(), RemoteHigh);
}

TEST_F(StatusBits, FaultKeysBreakOneComparatorOneMaskOrTheAlert) {
    const auto tripAll = [this] {
        for (const int pointer : {0x0B, 0x0D, 0x31, 0x20, 0x19, 0x39}) {
            Write(pointer, 0x10); // high and THERM limits far below the readings
        }
        NextConversion();
        Status1();
        Status2();
        NextConversion();
    };
    PowerOn("local = 25\nremote1 = 30\nremote2 = 40\nnever_trips = remote2.therm\n");
    tripAll();
    EXPECT_EQ(Status1(), LocalHigh | RemoteHigh | RemoteTherm | LocalTherm);
    EXPECT_EQ(Status2(), RemoteHigh | Alert) << "only Remote 2's THERM comparator is dead";
    PowerOn("local = 25\nremote1 = 30\nremote2 = 40\nnever_trips = local.low\n");
    Write(0x0C, 0x40); // local low limit above the reading
    NextConversion();
    EXPECT_EQ(Status1(), 0);

    PowerOn("local = 25\nremote1 = 30\nremote2 = 40\nmask_ignored = remote1\n");
    Write(0x09, 0x02); // Remote 1 masked, the only channel out of its limits
    Write(0x0D, 0x10);
    NextConversion();
    EXPECT_EQ(Status2(), Alert) << "the mask bit is ignored";
    Write(0x09, 0x01);
    Write(0x0D, 0x55);
    Write(0x31, 0x10);
    NextConversion();
    Status2();
    NextConversion();
    EXPECT_EQ(Status2(), RemoteHigh) << "Remote 2's mask still works";

    PowerOn("local = 25\nremote1 = 30\nremote2 = 40\nalert_stuck = on\n");
    Write(0x0B, 0x10);
    NextConversion();
    EXPECT_EQ(Status2(), Alert);
    Write(0x0B, 0x55);
    NextConversion();
    Status1();
    NextConversion();
    EXPECT_EQ(Status1(), 0);
    EXPECT_EQ(Status2(), Alert) << "stuck until the next power-up";
    PowerOn("local = 25\nalert_stuck = off\n");
    EXPECT_EQ(Status2(), 0);

    std::string error;
    BoardConfig config;
    EXPECT_FALSE(ParseBoardText("never_trips = remote3.high\n", config, error));
    EXPECT_EQ(error, "line 1: expected CHANNEL.LIMIT (local, remote1 or remote2; high, low or "
                     "therm), not 'remote3.high'");
    EXPECT_FALSE(ParseBoardText("mask_ignored = all\n", config, error));
    EXPECT_FALSE(ParseBoardText("alert_stuck = yes\n", config, error));
    EXPECT_EQ(error, "line 1: expected on or off, not 'yes'");
}

} // namespace
} // namespace tarnlink::test
