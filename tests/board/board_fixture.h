#pragma once

#include "support/test_paths.h"
#include "tarnlink_emulator.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <unistd.h>

namespace tarnlink::test {

inline constexpr std::int32_t ChipAddress = 0x4C;

// A scratch folder for the running test, removed with it.
struct TempDir {
    TempDir() { std::filesystem::create_directories(root); }
    ~TempDir() { std::filesystem::remove_all(root); }
    TempDir(const TempDir&) = delete;
    std::string Path(const std::string& name) const { return (root / name).string(); }
    std::string Write(const std::string& name, std::string_view content) const {
        std::ofstream(Path(name), std::ios::binary) << content;
        return Path(name);
    }
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() /
        ("tarnlink_" + std::to_string(::getpid()) + "_" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

// One emulated board on a clock the test moves by hand.
class BoardTest : public ::testing::Test {
protected:
    // Loads the board text, downloads the firmware and connects.
    void PowerOn(std::string_view boardText = {}) {
        std::string error;
        ASSERT_TRUE(emulator.LoadBoardText(boardText, error)) << error;
        ASSERT_EQ(Download(), FirmwareOk) << emulator.LastError();
        ASSERT_EQ(Connect(), StatusOk);
    }
    std::int16_t Download() { return emulator.LoadFirmWare(qmt::test::paths::Firmware); }
    std::int16_t Connect() { return Request(RequestConnect, 48, 51, 0); }
    // Both arguments equal `args` (1: read, 0: write or connect); the byte lands in `byte`.
    std::int16_t Request(std::uint16_t code, std::int32_t value, std::int32_t index, int args) {
        byte = 0xA5;
        const auto arg = static_cast<std::int16_t>(args);
        return emulator.VendorIORequest(code, value, index, arg, arg, &byte);
    }
    std::uint8_t Read(std::int32_t pointer, std::int32_t address = ChipAddress,
                      std::uint16_t code = RequestRegister) {
        EXPECT_EQ(Request(code, address, pointer, 1), StatusOk);
        return byte;
    }
    void Write(std::int32_t pointer, std::int32_t value, std::int32_t address = ChipAddress) {
        EXPECT_EQ(Request(RequestRegister, address, value * 256 + pointer, 0), StatusOk);
    }
    // Remote reading in quarter degrees.
    int QuarterCode(std::int32_t high, std::int32_t low) {
        return Read(high) * 4 + (Read(low) >> 6);
    }

    std::uint64_t now = 0;
    std::uint8_t byte = 0;
    Emulator emulator{[this] { return now; }};
};

} // namespace tarnlink::test
