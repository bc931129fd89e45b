#include "board_fixture.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace tarnlink::test {
namespace {

using ChipRegisters = BoardTest;

// Settings registers, read pointer and power-on value.
const std::vector<std::pair<int, int>> PowerOnValues = {
    {0x03, 0x00}, {0x04, 0x08}, {0x05, 0x55}, {0x06, 0x00}, {0x07, 0x55}, {0x08, 0x00},
    {0x11, 0x00}, {0x12, 0x00}, {0x13, 0x00}, {0x14, 0x00}, {0x19, 0x55}, {0x20, 0x55},
    {0x21, 0x0A}, {0x22, 0x01}, {0x24, 0x00}, {0x31, 0x55}, {0x32, 0x00}, {0x34, 0x00},
    {0x35, 0x00}, {0x36, 0x00}, {0x37, 0x00}, {0x39, 0x55}, {0xFE, 0x41}, {0xFF, 0x52},
};

TEST_F(ChipRegisters, PowerOnValuesComeFromTheTableOrTheBoard) {
    PowerOn("");
    for (const auto& [pointer, value] : PowerOnValues) {
        EXPECT_EQ(Read(pointer), value) << std::hex << pointer;
    }
    EXPECT_EQ(Read(0x15), 0x00) << "no register at 0x15";
    EXPECT_EQ(Read(0x09), 0x00) << "write pointers read nothing";

    PowerOn("reg.0xFE = 0x5D\nreg.0x07 = 0x46\nreg.0x31 = 0x3C\nreg.0x07 = 0x47\n");
    EXPECT_EQ(Read(0xFE), 0x5D);
    EXPECT_EQ(Read(0x07), 0x47) << "the later line wins";
    EXPECT_EQ(Read(0x31), 0x3C);
    Write(0x09, 0x08);
    EXPECT_EQ(Read(0x07), 0x3C) << "reg.0x07 is the Remote 1 copy";
}

TEST_F(ChipRegisters, WritePointersStoreIntoTheirReadPointers) {
    PowerOn("local = 25\n");
    const int values[] = {0x00, 0x0A, 0x4B, 0x0C, 0x4C, 0x0D};
    for (int i = 0; i < 6; ++i) {
        Write(0x09 + i, values[i]);
    }
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Read(0x03 + i), values[i]) << std::hex << 0x03 + i;
    }
    // The read pointers and the read-only registers take no writes.
    for (const int pointer : {0x03, 0x04, 0x05, 0x06, 0x07, 0x08}) {
        Write(pointer, 0x77);
        EXPECT_EQ(Read(pointer), values[pointer - 3]) << std::hex << pointer;
    }
    for (const int pointer : {0x00, 0xFE, 0xFF}) {
        const int before = Read(pointer);
        Write(pointer, 0x77);
        EXPECT_EQ(Read(pointer), before) << std::hex << pointer;
    }
    // Same-pointer registers.
    for (const int pointer : {0x11, 0x12, 0x13, 0x14, 0x19, 0x20, 0x21, 0x22, 0x31, 0x32, 0x34,
                              0x35, 0x36, 0x37, 0x39}) {
        Write(pointer, 0x3E);
        EXPECT_EQ(Read(pointer), 0x3E) << std::hex << pointer;
    }
    // Reserved bits are stored as written.
    Write(0x24, 0x7F);
    EXPECT_EQ(Read(0x24), 0x7F);
    Write(0x09, 0x10);
    EXPECT_EQ(Read(0x03), 0x10);
}

TEST_F(ChipRegisters, SharedPointersShowRemote2WhileBit3IsSet) {
    PowerOn("remote1 = 30.25\nremote2 = 40.75\n");
    Write(0x0D, 0x46); // Remote 1 high limit
    Write(0x13, 0x40);
    Write(0x11, 0x02);
    Write(0x19, 0x5A);
    EXPECT_EQ(Read(0x31), 0x55) << "Remote 2 untouched";
    EXPECT_EQ(Read(0x01), 30);
    EXPECT_EQ(Read(0x10), 0x40);

    Write(0x09, 0x08);
    // The shared pointers now reach Remote 2's own registers, in both directions.
    const std::pair<int, int> twins[] = {{0x01, 0x30}, {0x07, 0x31}, {0x08, 0x32},
                                         {0x10, 0x33}, {0x11, 0x34}, {0x12, 0x35},
                                         {0x13, 0x36}, {0x14, 0x37}, {0x19, 0x39}};
    for (const auto& [shared, own] : twins) {
        EXPECT_EQ(Read(shared), Read(own)) << std::hex << shared;
    }
    EXPECT_EQ(Read(0x01), 40);
    EXPECT_EQ(Read(0x10), 0xC0);
    Write(0x0D, 0x50);
    Write(0x0E, 0x05);
    Write(0x13, 0x80);
    Write(0x19, 0x60);
    EXPECT_EQ(Read(0x31), 0x50);
    EXPECT_EQ(Read(0x32), 0x05);
    EXPECT_EQ(Read(0x36), 0x80);
    EXPECT_EQ(Read(0x39), 0x60);

    Write(0x09, 0x00);
    EXPECT_EQ(Read(0x07), 0x46);
    EXPECT_EQ(Read(0x08), 0x00);
    EXPECT_EQ(Read(0x13), 0x40);
    EXPECT_EQ(Read(0x11), 0x02);
    EXPECT_EQ(Read(0x19), 0x5A);
}

TEST_F(ChipRegisters, LockBitFreezesSettingsUntilPowerCycle) {
    PowerOn("local = 25\n");
    Write(0x0B, 0x50);
    Write(0x24, 0x80);
    EXPECT_EQ(Read(0x24), 0x80);

    const std::pair<int, int> locked[] = {
        {0x09, 0x03}, {0x0A, 0x04}, {0x0B, 0x05}, {0x0C, 0x06}, {0x0D, 0x07}, {0x0E, 0x08},
        {0x13, 0x13}, {0x14, 0x14}, {0x19, 0x19}, {0x20, 0x20}, {0x21, 0x21}, {0x22, 0x22},
        {0x24, 0x24}, {0x31, 0x31}, {0x32, 0x32}, {0x36, 0x36}, {0x37, 0x37}, {0x39, 0x39}};
    for (const auto& [write, read] : locked) {
        const int before = Read(read);
        EXPECT_EQ(RawWrite(ChipAddress, 0x0F * 256 + write), StatusOk) << "silently ignored";
        EXPECT_EQ(Read(read), before) << std::hex << write;
    }
    // Offsets are calibration, not limits: they stay writable.
    Write(0x11, 0x01);
    EXPECT_EQ(Read(0x11), 0x01);

    ASSERT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareOk);
    ASSERT_EQ(Connect(), StatusOk);
    EXPECT_EQ(Read(0x24), 0x00);
    EXPECT_EQ(Read(0x05), 0x55);
    Write(0x0B, 0x50);
    EXPECT_EQ(Read(0x05), 0x50);

    PowerOn("reg.0x24 = 0x80\n");
    Write(0x0B, 0x50);
    EXPECT_EQ(Read(0x05), 0x55) << "locked from power-on";
}

} // namespace
} // namespace tarnlink::test
