#include "link/connection_sequence.h"
#include "link/executable_folder.h"
#include "link/register_access.h"
#include "link/tarnlink_library.h"
#include "support/fake_clock.h"
#include "support/recording_link_error_handler.h"
#include "support/recording_progress.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace qmt::test {
namespace {

// The bridge library as the program loads it: through dlopen, by path and by name.
TEST(RealLibrary, ConnectsAndReadsTheManufacturerId) {
    ::unsetenv("TARNLINK_BOARD"); // the default board: one chip at 0x4C
    std::string error;
    const auto byPath = link::TarnlinkLibrary::Load(QMT_TARNLINK_PATH, error);
    ASSERT_NE(byPath, nullptr) << error;
    // Test executables share the library's folder, so the lookup by name finds it there.
    const auto byName = link::TarnlinkLibrary::Load("", error);
    ASSERT_NE(byName, nullptr) << error;

    FakeClock clock;
    link::USBStuff usb;
    GeneralStuff state;
    RecordingLinkErrorHandler errors;
    RecordingProgress progress;
    link::RegisterAccess access(*byPath, usb, state, errors);
    link::ConnectionSequence(access, clock, progress, {link::ExecutableFolder(), true, {}}).Run();
    EXPECT_TRUE(errors.codes.empty());
    EXPECT_EQ(usb.DeviceAddress, 0x4C);
    EXPECT_EQ(access.ReadRegister(usb.DeviceAddress, 254), 65);
}

} // namespace
} // namespace qmt::test
