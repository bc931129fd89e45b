// libTarnlink.so loaded as the program loads it, with the environment it reads.
#include "board_fixture.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <vector>

namespace tarnlink::test {
namespace {

using LoadFn = std::int16_t (*)(const char*);
using RequestFn = std::int16_t (*)(std::uint16_t, std::int32_t, std::int32_t, std::int16_t,
                                   std::int16_t, std::uint8_t*);

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(SharedLibrary, ExportsTheTwoFunctionsAndTracesEveryCall) {
    const TempDir dir;
    const std::string trace = dir.Path("trace.txt");
    const std::string board = dir.Write("board.txt", "connect_attempt = 2\naddress = 0x4D\n");
    ::setenv("TARNLINK_TRACE", trace.c_str(), 1);
    ::setenv("TARNLINK_BOARD", board.c_str(), 1);

    void* library = ::dlopen(TARNLINK_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    const auto load = reinterpret_cast<LoadFn>(::dlsym(library, "LoadFirmWare"));
    const auto request = reinterpret_cast<RequestFn>(::dlsym(library, "VendorIORequest"));
    ASSERT_NE(load, nullptr);
    ASSERT_NE(request, nullptr);

    // The build puts the firmware beside the library, where the program looks for it.
    const std::string firmware =
        (std::filesystem::path(TARNLINK_LIBRARY_PATH).parent_path() / "HLX3300FW.Hex").string();
    EXPECT_EQ(load(firmware.c_str()), FirmwareOk);
    std::uint8_t buffer[1] = {0};
    EXPECT_EQ(request(RequestConnect, 48, 51, 0, 0, buffer), StatusNotConnected);
    EXPECT_EQ(request(RequestConnect, 48, 51, 0, 0, buffer), StatusOk);
    EXPECT_EQ(request(RequestRegister, 0x4D, 0xFE, 1, 1, buffer), StatusOk);
    EXPECT_EQ(buffer[0], 0x41);
    EXPECT_EQ(request(RequestRegister, 0x4C, 0xFE, 1, 1, buffer), StatusOk);
    EXPECT_EQ(buffer[0], 0xFF);
    EXPECT_EQ(request(RequestStatusPoll, 0x4D, 0x23, 1, 1, buffer), StatusOk);
    EXPECT_EQ(request(RequestRegister, 0x4D, 0x46 * 256 + 0x0B, 0, 0, buffer), StatusOk);
    EXPECT_EQ(request(RequestRegister, 0x4D, 0x05, 1, 1, nullptr), StatusNoBuffer);

    // A broken board file fails the next download instead of crashing.
    dir.Write("board.txt", "connect_attempt = 2\nwarp = 9\n");
    EXPECT_EQ(load(firmware.c_str()), FirmwareBadBoard);
    ::dlclose(library);
    ::unsetenv("TARNLINK_TRACE");
    ::unsetenv("TARNLINK_BOARD");

    const std::vector<std::string> expected = {
        "fw 0 ",
        "221 48 51 0 0 2 0 ",
        "221 48 51 0 0 0 0 ",
        "222 77 254 1 1 0 65 ",
        "222 76 254 1 1 0 255 ",
        "220 77 35 1 1 0 0 ",
        "222 77 17931 0 0 0 0 ",
        "222 77 5 1 1 5 0 ",
        "fw -3 ",
    };
    const std::vector<std::string> lines = Lines(trace);
    ASSERT_EQ(lines.size(), expected.size());
    const std::regex millis("[0-9]+");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_TRUE(lines[i].starts_with(expected[i])) << lines[i];
        EXPECT_TRUE(std::regex_match(lines[i].substr(expected[i].size()), millis)) << lines[i];
    }
}

} // namespace
} // namespace tarnlink::test
