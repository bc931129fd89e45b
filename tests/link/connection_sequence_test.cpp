#include "link_rig.h"
#include "support/stub_bridge.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qmt::test {
namespace {

using link::LinkError;
using link::LinkFailure;
using Rig = LinkRig<StubBridge>;

constexpr std::uint16_t Connect = 221;
constexpr std::uint16_t Register = 222;

const std::string Downloading = "Downloading Firmware...";
const std::string Enumerating = "Enumerating...";
const std::string Connecting = "Connecting...";
const std::string Searching = "Searching for QMT6171/2/3 on USB...";

std::vector<std::int32_t> SearchedAddresses(const StubBridge& bridge) {
    std::vector<std::int32_t> addresses;
    for (const auto& call : bridge.Calls(Register)) {
        EXPECT_EQ(call.index, 254);
        addresses.push_back(call.value);
    }
    return addresses;
}

TEST(ConnectionSequence, RunsStagesBarAndPausesInOrder) {
    Rig rig;
    rig.bridge.AddChip(0x4C);
    rig.progress.designWidth = 3799; // a step of 37 twips: rounded down, odd half steps
    rig.progress.fullWidth = 4935;
    rig.Run();

    EXPECT_EQ(rig.progress.stages,
              (std::vector<std::string>{Downloading, Enumerating, Connecting, Searching,
                                        "Found an QMT6171/2/3 at 4Ch"}));
    EXPECT_EQ(rig.progress.statuses, std::vector<std::string>{"Firmware download succesful"});
    EXPECT_EQ(rig.progress.controlsShown, 1);

    std::vector<double> bar{0.0, 33 * 37};
    for (int half = 1; half <= 34; ++half) {
        bar.push_back(33 * 37 + half * 18.5);
    }
    bar.push_back(76 * 37);
    bar.push_back(4935);
    EXPECT_EQ(rig.progress.barWidths, bar);
    EXPECT_EQ(rig.progress.barWidths[35], 50 * 37);

    EXPECT_EQ(rig.bridge.firmwarePaths, std::vector<std::string>{"/opt/qmt/HLX3300FW.Hex"});
    EXPECT_EQ(rig.usb.FirmwarePath, "/opt/qmt/HLX3300FW.Hex");
    const auto connects = rig.bridge.Calls(Connect);
    ASSERT_EQ(connects.size(), 1u);
    EXPECT_EQ(connects[0].value, 48);
    EXPECT_EQ(connects[0].index, 51);
    EXPECT_EQ(connects[0].arg4, 0);
    EXPECT_EQ(connects[0].arg5, 0);
    EXPECT_EQ(connects[0].bufferOnEntry, 0);
    EXPECT_EQ(rig.progress.eventPumps, 1);

    EXPECT_EQ(rig.usb.DeviceAddress, 0x4C);
    EXPECT_EQ(rig.bridge.Count(Register), 0x4C - 24 + 1);
    EXPECT_TRUE(rig.errors.codes.empty());

    // 34 enumeration ticks of 50 ms, one connect pause, then the two reading pauses.
    const auto& p = rig.progress;
    EXPECT_NEAR(p.StageShownAt(Connecting) - p.StageShownAt(Enumerating), 1.7, 1e-9);
    EXPECT_NEAR(p.StageShownAt(Searching) - p.StageShownAt(Connecting), 0.2, 1e-9);
    EXPECT_EQ(rig.clock.ElapsedMs(), 1700 + 200 + 1000 + 2000);
}

TEST(ConnectionSequence, SkippingReadingPausesKeepsEnumerationAndConnectPauses) {
    Rig rig;
    rig.bridge.AddChip(0x18);
    rig.options.skipReadingPauses = true;
    rig.Run();
    EXPECT_EQ(rig.clock.ElapsedMs(), 1700 + 200);
    EXPECT_EQ(rig.usb.DeviceAddress, 0x18);
    EXPECT_EQ(rig.progress.stages.back(), "Found an QMT6171/2/3 at 18h");
}

TEST(ConnectionSequence, ConnectTriesTwentyTimes) {
    {
        Rig rig;
        rig.bridge.AddChip(0x4C);
        rig.bridge.connectSucceedsAt = 0;
        EXPECT_THROW(rig.Run(), LinkFailure);
        EXPECT_EQ(rig.errors.codes, std::vector{LinkError::InitialConnection});
        EXPECT_EQ(rig.bridge.Count(Connect), 20);
        EXPECT_EQ(rig.progress.eventPumps, 20);
        EXPECT_EQ(rig.bridge.Count(Register), 0);
        EXPECT_EQ(rig.progress.stages.back(), Connecting);
        EXPECT_EQ(rig.clock.ElapsedMs(), 1700 + 20 * 200);
    }
    {
        Rig rig;
        rig.bridge.AddChip(0x4C);
        rig.bridge.connectSucceedsAt = 20;
        rig.options.skipReadingPauses = true;
        rig.Run();
        EXPECT_TRUE(rig.errors.codes.empty());
        EXPECT_EQ(rig.bridge.Count(Connect), 20);
        EXPECT_EQ(rig.usb.DeviceAddress, 0x4C);
        EXPECT_EQ(rig.clock.ElapsedMs(), 1700 + 20 * 200);
    }
}

TEST(ConnectionSequence, FirmwareFailureEndsBeforeAnyRequest) {
    Rig rig;
    rig.bridge.firmwareStatus = -1;
    EXPECT_THROW(rig.Run(), LinkFailure);
    EXPECT_EQ(rig.errors.codes, std::vector{LinkError::FirmwareDownload});
    EXPECT_EQ(rig.bridge.log.size(), 1u);
    EXPECT_EQ(rig.progress.stages, std::vector<std::string>{Downloading});
    EXPECT_TRUE(rig.progress.statuses.empty());

    // Only a negative status is a failure.
    Rig positive;
    positive.bridge.AddChip(0x4C);
    positive.bridge.firmwareStatus = 7;
    positive.Run();
    EXPECT_TRUE(positive.errors.codes.empty());
}

TEST(ConnectionSequence, FirmwarePathFitsTheBufferOrIsRefused) {
    const std::string fileName = "/HLX3300FW.Hex";
    {
        Rig rig;
        rig.options.firmwareFolder = std::string(512 - fileName.size(), 'f');
        rig.bridge.firmwareStatus = -1;
        EXPECT_THROW(rig.Run(), LinkFailure);
        ASSERT_EQ(rig.bridge.firmwarePaths.size(), 1u);
        EXPECT_EQ(rig.bridge.firmwarePaths[0].size(), 512u);
        EXPECT_EQ(rig.usb.FirmwarePathBuffer[511], 'x');
        EXPECT_EQ(rig.usb.FirmwarePathBuffer[512], 0);
    }
    {
        Rig rig;
        rig.options.firmwareFolder = std::string(512 - fileName.size() + 1, 'f');
        EXPECT_THROW(rig.Run(), LinkFailure);
        EXPECT_EQ(rig.errors.codes, std::vector{LinkError::FirmwareDownload});
        EXPECT_TRUE(rig.bridge.log.empty());
        EXPECT_EQ(rig.usb.FirmwarePath.size(), 513u);
    }
}

TEST(ConnectionSequence, SearchWalksAddresses24To78) {
    {
        Rig rig;
        rig.options.skipReadingPauses = true;
        EXPECT_THROW(rig.Run(), LinkFailure);
        EXPECT_EQ(rig.errors.codes, std::vector{LinkError::InitialConnection});
        std::vector<std::int32_t> all;
        for (std::int32_t address = 24; address <= 78; ++address) {
            all.push_back(address);
        }
        EXPECT_EQ(SearchedAddresses(rig.bridge), all);
        EXPECT_EQ(rig.usb.DeviceAddress, 0);
        for (const auto& call : rig.bridge.Calls(Register)) {
            EXPECT_EQ(call.arg4, 1);
            EXPECT_EQ(call.arg5, 1);
        }
    }
    {
        Rig rig;
        rig.bridge.AddChip(24);
        rig.Run();
        EXPECT_EQ(SearchedAddresses(rig.bridge), std::vector<std::int32_t>{24});
    }
    {
        Rig rig;
        rig.bridge.AddChip(78);
        rig.bridge.AddChip(23);
        rig.bridge.AddChip(79);
        rig.Run();
        EXPECT_EQ(rig.usb.DeviceAddress, 78);
        EXPECT_EQ(rig.bridge.Count(Register), 55);
    }
    {
        Rig rig;
        rig.bridge.AddChip(0x4D);
        rig.bridge.AddChip(0x2A);
        rig.Run();
        EXPECT_EQ(rig.usb.DeviceAddress, 0x2A);
    }
}

TEST(ConnectionSequence, FixedAddressSkipsTheSearch) {
    Rig rig;
    rig.options.fixedAddress = 0x4E;
    rig.Run();
    EXPECT_EQ(rig.bridge.Count(Register), 0);
    EXPECT_EQ(rig.usb.DeviceAddress, 0x4E);
    EXPECT_EQ(rig.progress.stages.back(), "Found an QMT6171/2/3 at 4Eh");
}

TEST(ConnectionSequence, LinkLostDuringTheSearchIsACommunicationsFailure) {
    Rig rig;
    rig.bridge.AddChip(0x4C);
    rig.bridge.failAfterRequests = 1 + 10; // the connect and ten reads
    EXPECT_THROW(rig.Run(), LinkFailure);
    EXPECT_EQ(rig.errors.codes, std::vector{LinkError::Communications});
    EXPECT_EQ(rig.bridge.Count(Register), 11);
    EXPECT_EQ(rig.usb.DeviceAddress, 0);
    EXPECT_EQ(rig.progress.stages.back(), Searching);
}

} // namespace
} // namespace qmt::test
