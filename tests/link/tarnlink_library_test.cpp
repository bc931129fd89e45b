#include "link/executable_folder.h"
#include "link/tarnlink_library.h"
#include "link_rig.h"
#include "support/test_paths.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace qmt::test {
namespace {

// Through dlopen, as the program loads it; failures name the library and the symbol.
TEST(TarnlinkLibrary, RealLibraryConnectsAndLoadFailuresSayWhy) {
    std::string error;
    EXPECT_EQ(link::TarnlinkLibrary::Load(qmt::test::paths::HalfTarnlink, error), nullptr);
    EXPECT_NE(error.find(qmt::test::paths::HalfTarnlink), std::string::npos) << error;
    EXPECT_NE(error.find("lacks VendorIORequest"), std::string::npos) << error;

    ::unsetenv("TARNLINK_BOARD"); // the default board: one chip at 0x4C
    const auto library = link::TarnlinkLibrary::Load(qmt::test::paths::Tarnlink, error);
    ASSERT_NE(library, nullptr) << error;
    LinkRig<link::Bridge&> rig(*library);
    rig.options = {link::ExecutableFolder(), true, {}};
    rig.Run();
    EXPECT_EQ(rig.usb.DeviceAddress, 0x4C);
    EXPECT_EQ(rig.access.ReadRegister(0x4C, 254), 65);
}

} // namespace
} // namespace qmt::test
