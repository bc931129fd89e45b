#include "link/executable_folder.h"
#include "link_rig.h"
#include "support/emulated_bridge.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace qmt::test {
namespace {

using link::LinkError;
using link::LinkFailure;

struct EmulatedRig : LinkRig<EmulatedBridge> {
    explicit EmulatedRig(std::string_view boardText) : LinkRig<EmulatedBridge>(boardText) {
        options.firmwareFolder = link::ExecutableFolder();
        options.skipReadingPauses = true;
    }
};

TEST(EmulatedLink, FindsTheLowerOfTwoChips) {
    EmulatedRig rig("address = 0x4D, 0x2A\n");
    rig.Run();
    EXPECT_TRUE(rig.errors.codes.empty());
    EXPECT_EQ(rig.usb.DeviceAddress, 0x2A);
    EXPECT_EQ(rig.progress.stages.back(), "Found an QMT6171/2/3 at 2Ah");
    EXPECT_EQ(rig.access.ReadRegister(0x4D, 254), 65);
}

TEST(EmulatedLink, BoardFailuresEndWithTheirCodes) {
    struct Case {
        const char* board;
        LinkError code;
    };
    for (const auto& c : {Case{"firmware = fail\n", LinkError::FirmwareDownload},
                          Case{"connect_attempt = 0\n", LinkError::InitialConnection},
                          Case{"address = 0x10\n", LinkError::InitialConnection},
                          Case{"fail_after = 10\n", LinkError::Communications}}) {
        EmulatedRig rig(c.board);
        EXPECT_THROW(rig.Run(), LinkFailure) << c.board;
        EXPECT_EQ(rig.errors.codes, std::vector{c.code}) << c.board;
    }
}

TEST(EmulatedLink, ConnectsAtTheTwentiethAttempt) {
    EmulatedRig rig("connect_attempt = 20\n");
    rig.Run();
    EXPECT_EQ(rig.progress.eventPumps, 20);
    EXPECT_EQ(rig.usb.DeviceAddress, 0x4C);
}

TEST(EmulatedLink, LinkLostAfterTheSearchEndsTheNextRead) {
    // The search reads 24..0x4C: 53 requests; one more is served.
    EmulatedRig rig("fail_after = 54\n");
    rig.Run();
    EXPECT_EQ(rig.access.ReadRegister(0x4C, 0x03), 0);
    EXPECT_THROW(rig.access.ReadRegister(0x4C, 0x03), LinkFailure);
    EXPECT_EQ(rig.errors.codes, std::vector{LinkError::Communications});
}

TEST(EmulatedLink, ConfigurationWriteReadsTheChipBack) {
    EmulatedRig rig("reg.0x03 = 0x04\n");
    rig.Run();
    rig.access.UpdateRemoteSelection(0x09);
    EXPECT_TRUE(rig.state.ExtendedRange);
    EXPECT_FALSE(rig.state.Remote2Selected);
    std::int32_t value = 0x08;
    rig.access.WriteRegister(0x4C, 0x09, value);
    EXPECT_FALSE(rig.state.ExtendedRange);
    EXPECT_TRUE(rig.state.Remote2Selected);
}

TEST(EmulatedLink, RejectedBoardTextThrows) {
    FakeClock clock;
    EXPECT_THROW(EmulatedBridge(clock, "bogus = 1\n"), std::invalid_argument);
}

} // namespace
} // namespace qmt::test
