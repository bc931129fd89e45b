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
}

TEST(ConnectionSequence, ConnectTriesTwentyTimes) {
    Rig late;
    late.bridge.AddChip(0x4C);
    late.bridge.connectSucceedsAt = 20;
    late.Run();
    EXPECT_EQ(late.usb.DeviceAddress, 0x4C);
    EXPECT_EQ(late.clock.ElapsedMs(), EnumerationMs + 20 * 200 + 1000 + 2000);

    Rig never;
    never.bridge.connectSucceedsAt = 0;
    EXPECT_THROW(never.Run(), LinkFailure);
    EXPECT_EQ(never.errors.codes, std::vector{LinkError::InitialConnection});
    EXPECT_EQ(never.bridge.Count(Connect), 20);
}

TEST(ConnectionSequence, FirmwareFailureOrTooLongAPathEndsBeforeAnyRequest) {
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
}

TEST(ConnectionSequence, SearchWalksAddresses24To78AndTakesTheLowerChip) {
    Rig none;
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

    Rig two;
    two.bridge.AddChip(0x4D);
    two.bridge.AddChip(0x2A);
    two.Run();
    EXPECT_EQ(two.usb.DeviceAddress, 0x2A);

    Rig fixed; // a given address skips the search but must identify itself
    fixed.bridge.AddChip(0x4E);
    fixed.options.fixedAddress = 0x4E;
    fixed.Run();
    EXPECT_EQ(fixed.bridge.Count(Register), 1);
    EXPECT_EQ(fixed.progress.stages.back(), "Found an QMT6171/2/3 at 4Eh");

    Rig nobody;
    nobody.bridge.AddChip(0x4C);
    nobody.options.fixedAddress = 0x10;
    EXPECT_THROW(nobody.Run(), LinkFailure);
    EXPECT_EQ(nobody.errors.codes, std::vector{LinkError::InitialConnection});
    EXPECT_EQ(nobody.errors.reasons, std::vector<std::string>{"no QMT6171/2/3 answers at 10h"});
    EXPECT_EQ(nobody.usb.DeviceAddress, 0);
    EXPECT_NE(nobody.progress.stages.back().rfind("Found", 0), 0U);
}

TEST(ConnectionSequence, LinkLostDuringTheSearchIsACommunicationsFailure) {
    Rig rig;
    rig.bridge.AddChip(0x4C);
    rig.bridge.failAfterRequests = 1 + 10; // the connect and ten reads
    EXPECT_THROW(rig.Run(), LinkFailure);
    EXPECT_EQ(rig.errors.codes, std::vector{LinkError::Communications});
    EXPECT_EQ(rig.usb.DeviceAddress, 0);
}

} // namespace
} // namespace qmt::test
