// libTarnlink.so loaded as the program loads it, with the environment it reads.
#include "board_fixture.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace tarnlink::test {
namespace {

using LoadFn = std::int16_t (*)(const char*);
using RequestFn = std::int16_t (*)(std::uint16_t, std::int32_t, std::int32_t, std::int16_t,
                                   std::int16_t, std::uint8_t*);

TEST(SharedLibrary, ExportsTheTwoFunctionsAndTracesEveryCall) {
    const TempDir dir;
    const std::string trace = dir.Path("trace.txt");
    ::setenv("TARNLINK_TRACE", trace.c_str(), 1);
    ::setenv("TARNLINK_BOARD", dir.Write("board", "connect_attempt = 2\naddress = 0x4D\n").c_str(),
             1);
    void* library = ::dlopen(qmt::test::paths::Tarnlink, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    const auto load = reinterpret_cast<LoadFn>(::dlsym(library, "LoadFirmWare"));
    const auto request = reinterpret_cast<RequestFn>(::dlsym(library, "VendorIORequest"));
    ASSERT_TRUE(load != nullptr && request != nullptr);

    // The build puts the firmware beside the library, where the program looks for it.
    const std::string firmware =
        (std::filesystem::path(qmt::test::paths::Tarnlink).parent_path() / "HLX3300FW.Hex").string();
    EXPECT_EQ(load(firmware.c_str()), FirmwareOk);
    std::uint8_t buffer[1] = {0};
    EXPECT_EQ(request(RequestConnect, 48, 51, 0, 0, buffer), StatusNotConnected);
    EXPECT_EQ(request(RequestConnect, 48, 51, 0, 0, buffer), StatusOk);
    EXPECT_EQ(request(RequestRegister, 0x4D, 0xFE, 1, 1, buffer), StatusOk);
    EXPECT_EQ(request(RequestRegister, 0x4D, 0x46 * 256 + 0x0B, 0, 0, buffer), StatusOk);
    dir.Write("board", "warp = 9\n");
    EXPECT_EQ(load(firmware.c_str()), FirmwareBadBoard) << "a broken board file must not crash";
    ::dlclose(library);
    ::unsetenv("TARNLINK_TRACE");
    ::unsetenv("TARNLINK_BOARD");

    // Each line ends in the milliseconds since the library was loaded.
    std::stringstream lines;
    lines << std::ifstream(trace).rdbuf();
    EXPECT_EQ(std::regex_replace(lines.str(), std::regex(" [0-9]+\n"), " ms\n"),
              "fw 0 ms\n221 48 51 0 0 2 0 ms\n221 48 51 0 0 0 0 ms\n222 77 254 1 1 0 65 ms\n"
              "222 77 17931 0 0 0 65 ms\nfw -3 ms\n");
}

} // namespace
} // namespace tarnlink::test
