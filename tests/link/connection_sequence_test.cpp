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
constexpr std::int64_t EnumerationMs = 34 * 50;

TEST(ConnectionSequence, RunsStagesBarAndPausesInOrder) {
    Rig rig;
    rig.bridge.AddChip(0x4C);
    rig.bridge.firmwareStatus = 7;   // only a negative status is a failure
    rig.progress.designWidth = 3799; // a step of 37 twips: rounded down, odd half steps
    rig.Run();
    EXPECT_EQ(rig.progress.stages,
              (std::vector<std::string>{"Downloading Firmware...", "Enumerating...",
                                        "Connecting...", "Searching for QMT6171/2/3 on USB...",
                                        "Found an QMT6171/2/3 at 4Ch"}));
    std::vector<double> bar{0.0};
    for (int half = 0; half <= 34; ++half) { // 33 steps, then half steps up to 50
        bar.push_back(33 * 37 + half * 18.5);
    }
    bar.insert(bar.end(), {76 * 37, 4935});
    EXPECT_EQ(rig.progress.barWidths, bar);
    // A connect that succeeds at once still pauses; then the two reading pauses.
    EXPECT_EQ(rig.clock.ElapsedMs(), EnumerationMs + 200 + 1000 + 2000);

    Rig late; // the connect is tried twenty times
    late.bridge.AddChip(0x4C);
    late.bridge.connectSucceedsAt = 20;
    late.Run();
    EXPECT_EQ(late.clock.ElapsedMs(), EnumerationMs + 20 * 200 + 1000 + 2000);
}

// The search itself (every address from 24 to 78, the lowest chip first) is followed
// call by call in the i2c bridge's tests.
TEST(ConnectionSequence, AGivenAddressSkipsTheSearchButMustIdentifyItself) {
    Rig fixed;
    fixed.bridge.AddChip(0x4E);
    fixed.options.fixedAddress = 0x4E;
    fixed.Run();
    EXPECT_EQ(fixed.bridge.Count(Register), 1);
    EXPECT_EQ(fixed.progress.stages.back(), "Found an QMT6171/2/3 at 4Eh");

    Rig nobody;
    nobody.bridge.AddChip(0x4C);
    nobody.options.fixedAddress = 0x10;
    EXPECT_THROW(nobody.Run(), LinkFailure);
    EXPECT_EQ(nobody.errors.reasons, std::vector<std::string>{"no QMT6171/2/3 answers at 10h"});
    EXPECT_EQ(nobody.usb.DeviceAddress, 0);
    EXPECT_NE(nobody.progress.stages.back().rfind("Found", 0), 0U);
}

TEST(ConnectionSequence, EachFailureEndsTheRunWithItsOwnCode) {
    Rig never;
    never.bridge.connectSucceedsAt = 0;
    EXPECT_THROW(never.Run(), LinkFailure);
    EXPECT_EQ(never.errors.codes, std::vector{LinkError::InitialConnection});
    EXPECT_EQ(never.bridge.Count(Connect), 20);

    // The path must fit the 512-byte buffer; a longer one never reaches the bridge.
    const std::size_t folderFits = 512 - std::string("/HLX3300FW.Hex").size();
    for (const std::size_t length : {folderFits, folderFits + 1}) {
        Rig rig;
        rig.options.firmwareFolder = std::string(length, 'f');
        rig.bridge.firmwareStatus = -1;
        EXPECT_THROW(rig.Run(), LinkFailure);
        EXPECT_EQ(rig.errors.codes, std::vector{LinkError::FirmwareDownload});
        EXPECT_EQ(rig.bridge.log.size(), length == folderFits ? 1u : 0u) << length;
        // The bridge explains its own failures; the one it never sees is explained here.
        EXPECT_EQ(rig.errors.reasons.size(), length == folderFits ? 0u : 1u) << length;
    }

    Rig lost;
    lost.bridge.AddChip(0x4C);
    lost.bridge.failAfterRequests = 1 + 10; // the connect and ten reads
    EXPECT_THROW(lost.Run(), LinkFailure);
    EXPECT_EQ(lost.errors.codes, std::vector{LinkError::Communications});
    EXPECT_EQ(lost.usb.DeviceAddress, 0);
}

} // namespace
} // namespace qmt::test
