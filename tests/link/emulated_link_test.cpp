#include "link/executable_folder.h"
#include "link_rig.h"
#include "support/emulated_bridge.h"

#include <gtest/gtest.h>
#include <vector>

namespace qmt::test {
namespace {

using link::LinkError;

// The link against the emulated board, which refuses requests not shaped as
// the real bridge wants them.
struct EmulatedRig : LinkRig<EmulatedBridge> {
    explicit EmulatedRig(std::string_view boardText) : LinkRig<EmulatedBridge>(boardText) {
        options.firmwareFolder = link::ExecutableFolder();
        options.skipReadingPauses = true;
    }
};

TEST(EmulatedLink, FindsTheLowerOfTwoChipsAndWritesItsConfiguration) {
    EmulatedRig rig("address = 0x4D, 0x2A\nreg.0x03 = 0x04\n");
    rig.Run();
    EXPECT_EQ(rig.usb.DeviceAddress, 0x2A);
    EXPECT_EQ(rig.access.ReadRegister(0x4D, 254), 65);
    std::int32_t value = 0x08;
    rig.access.WriteRegister(0x2A, 0x09, value);
    EXPECT_FALSE(rig.state.ExtendedRange);
    EXPECT_TRUE(rig.state.Remote2Selected);
    EXPECT_TRUE(rig.errors.codes.empty());
}

TEST(EmulatedLink, BoardFailuresEndWithTheirCodes) {
    struct Case {
        const char* board;
        LinkError code;
    };
    for (const auto& c : {Case{"firmware = fail\n", LinkError::FirmwareDownload},
                          Case{"connect_attempt = 0\n", LinkError::InitialConnection},
                          Case{"fail_after = 10\n", LinkError::Communications}}) {
        EmulatedRig rig(c.board);
        EXPECT_THROW(rig.Run(), link::LinkFailure) << c.board;
        EXPECT_EQ(rig.errors.codes, std::vector{c.code}) << c.board;
    }
}

} // namespace
} // namespace qmt::test
