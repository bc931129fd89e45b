#pragma once

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
class TempDir {
public:
    TempDir()
        : path_(std::filesystem::temp_directory_path() /
                ("tarnlink_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return (path_ / name).string(); }
    std::string Write(const std::string& name, std::string_view content) const {
        const std::string file = Path(name);
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

private:
    std::filesystem::path path_;
};

// One emulated board on a clock the test moves by hand.
class BoardTest : public ::testing::Test {
protected:
    // Loads the board text, downloads the firmware and connects.
    void PowerOn(std::string_view boardText = {}) {
        std::string error;
        ASSERT_TRUE(emulator.LoadBoardText(boardText, error)) << error;
        ASSERT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareOk)
            << emulator.LastError();
        ASSERT_EQ(Connect(), StatusOk);
    }

    std::int16_t Connect() {
        std::uint8_t buffer[1] = {0};
        return emulator.VendorIORequest(RequestConnect, 48, 51, 0, 0, buffer);
    }

    std::int16_t RawRead(std::uint16_t request, std::int32_t address, std::int32_t pointer,
                         std::uint8_t& byte) {
        std::uint8_t buffer[1] = {0xA5};
        const std::int16_t status =
            emulator.VendorIORequest(request, address, pointer, 1, 1, buffer);
        byte = buffer[0];
        return status;
    }

    std::int16_t RawWrite(std::int32_t address, std::int32_t index) {
        std::uint8_t buffer[1] = {0};
        return emulator.VendorIORequest(RequestRegister, address, index, 0, 0, buffer);
    }

    std::uint8_t Read(std::int32_t pointer, std::int32_t address = ChipAddress) {
        std::uint8_t byte = 0;
        EXPECT_EQ(RawRead(RequestRegister, address, pointer, byte), StatusOk);
        return byte;
    }

    std::uint8_t Poll(std::int32_t pointer) {
        std::uint8_t byte = 0;
        EXPECT_EQ(RawRead(RequestStatusPoll, ChipAddress, pointer, byte), StatusOk);
        return byte;
    }

    void Write(std::int32_t pointer, std::int32_t value, std::int32_t address = ChipAddress) {
        EXPECT_EQ(RawWrite(address, value * 256 + pointer), StatusOk);
    }

    // Remote reading as °C × 4 code units (high byte × 4 + quarters).
    int QuarterCode(std::int32_t highPointer, std::int32_t lowPointer) {
        const int low = Read(lowPointer);
        return Read(highPointer) * 4 + (low >> 6);
    }

    std::uint64_t now = 0;
    Emulator emulator{[this] { return now; }};
};

} // namespace tarnlink::test
