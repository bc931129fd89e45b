#include "link_rig.h"
#include "support/stub_bridge.h"

#include <gtest/gtest.h>
#include <numeric>
#include <string>
#include <vector>

namespace qmt::test {
namespace {

using link::LinkError;
using link::LinkFailure;
using Rig = LinkRig<StubBridge>;

constexpr std::uint16_t Connect = 221;
constexpr std::uint16_t Register = 222;
constexpr std::int64_t EnumerationMs = 34 * 50;

TEST(ConnectionSequence, RunsStagesBarAndPausesInOrder) {
    Rig rig;
    rig.bridge.AddChip(0x4C);
    rig.progress.designWidth = 3799; // a step of 37 twips: rounded down, odd half steps
    rig.Run();

    EXPECT_EQ(rig.progress.stages,
              (std::vector<std::string>{"Downloading Firmware...", "Enumerating...",
                                        "Connecting...", "Searching for QMT6171/2/3 on USB...",
                                        "Found an QMT6171/2/3 at 4Ch"}));
    EXPECT_EQ(rig.progress.statuses, std::vector<std::string>{"Firmware download succesful"});
    EXPECT_EQ(rig.progress.controlsShown, 1);
    std::vector<double> bar{0.0};
    for (int half = 0; half <= 34; ++half) { // 33 steps, then half steps up to 50
        bar.push_back(33 * 37 + half * 18.5);
    }
    bar.push_back(76 * 37);
    bar.push_back(4935);
    EXPECT_EQ(rig.progress.barWidths, bar);

    EXPECT_EQ(rig.usb.FirmwarePath, "/opt/qmt/HLX3300FW.Hex");
    EXPECT_EQ(rig.usb.DeviceAddress, 0x4C);
    EXPECT_TRUE(rig.errors.codes.empty());
    // A connect that succeeds at once still pauses; then the two reading pauses.
    EXPECT_EQ(rig.clock.ElapsedMs(), EnumerationMs + 200 + 1000 + 2000);
}

TEST(ConnectionSequence, ConnectTriesTwentyTimes) {
    for (const int succeedsAt : {20, 0}) {
        Rig rig;
        rig.bridge.AddChip(0x4C);
        rig.bridge.connectSucceedsAt = succeedsAt;
        rig.options.skipReadingPauses = true;
        if (succeedsAt == 0) {
            EXPECT_THROW(rig.Run(), LinkFailure);
            EXPECT_EQ(rig.errors.codes, std::vector{LinkError::InitialConnection});
            EXPECT_EQ(rig.bridge.Count(Register), 0);
        } else {
            rig.Run();
            EXPECT_EQ(rig.usb.DeviceAddress, 0x4C);
        }
        EXPECT_EQ(rig.bridge.Count(Connect), 20);
        EXPECT_EQ(rig.progress.eventPumps, 20);
        EXPECT_EQ(rig.clock.ElapsedMs(), EnumerationMs + 20 * 200);
    }
}

TEST(ConnectionSequence, FirmwareFailureOrTooLongAPathEndsBeforeAnyRequest) {
    Rig rig;
    rig.bridge.firmwareStatus = -1;
    EXPECT_THROW(rig.Run(), LinkFailure);
    EXPECT_EQ(rig.errors.codes, std::vector{LinkError::FirmwareDownload});
    EXPECT_EQ(rig.bridge.log.size(), 1u);
    EXPECT_EQ(rig.progress.stages.size(), 1u);
    EXPECT_TRUE(rig.progress.statuses.empty());

    Rig positive; // only a negative status is a failure
    positive.bridge.AddChip(0x4C);
    positive.bridge.firmwareStatus = 7;
    positive.Run();
    EXPECT_TRUE(positive.errors.codes.empty());

    // The path must fit the 512-byte buffer; a longer one never reaches the bridge.
    const std::size_t folderFits = 512 - std::string("/HLX3300FW.Hex").size();
    Rig fits;
    fits.options.firmwareFolder = std::string(folderFits, 'f');
    fits.bridge.firmwareStatus = -1;
    EXPECT_THROW(fits.Run(), LinkFailure);
    EXPECT_EQ(fits.bridge.log.size(), 1u);
    EXPECT_EQ(fits.usb.FirmwarePathBuffer[511], 'x');
    EXPECT_EQ(fits.usb.FirmwarePathBuffer[512], 0);

    Rig tooLong;
    tooLong.options.firmwareFolder = std::string(folderFits + 1, 'f');
    EXPECT_THROW(tooLong.Run(), LinkFailure);
    EXPECT_EQ(tooLong.errors.codes, std::vector{LinkError::FirmwareDownload});
    EXPECT_TRUE(tooLong.bridge.log.empty());
}

TEST(ConnectionSequence, SearchWalksAddresses24To78) {
    Rig none;
    none.options.skipReadingPauses = true;
    EXPECT_THROW(none.Run(), LinkFailure);
    EXPECT_EQ(none.errors.codes, std::vector{LinkError::InitialConnection});
    std::vector<std::int32_t> searched;
    for (const auto& call : none.bridge.Calls(Register)) {
        EXPECT_EQ(call.index, 254);
        searched.push_back(call.value);
    }
    std::vector<std::int32_t> all(55);
    std::iota(all.begin(), all.end(), 24);
    EXPECT_EQ(searched, all);

    Rig first;
    first.bridge.AddChip(24);
    first.Run();
    EXPECT_EQ(first.bridge.Count(Register), 1);
    EXPECT_EQ(first.usb.DeviceAddress, 24);

    Rig fixed; // a given address skips the search
    fixed.options.fixedAddress = 0x4E;
    fixed.Run();
    EXPECT_EQ(fixed.bridge.Count(Register), 0);
    EXPECT_EQ(fixed.progress.stages.back(), "Found an QMT6171/2/3 at 4Eh");
}

TEST(ConnectionSequence, LinkLostDuringTheSearchIsACommunicationsFailure) {
    Rig rig;
    rig.bridge.AddChip(0x4C);
    rig.bridge.failAfterRequests = 1 + 10; // the connect and ten reads
    EXPECT_THROW(rig.Run(), LinkFailure);
    EXPECT_EQ(rig.errors.codes, std::vector{LinkError::Communications});
    EXPECT_EQ(rig.bridge.Count(Register), 11);
    EXPECT_EQ(rig.usb.DeviceAddress, 0);
}

} // namespace
} // namespace qmt::test
