#include "board_fixture.h"

#include <utility>

namespace tarnlink::test {
namespace {

using ChipRegisters = BoardTest;

TEST_F(ChipRegisters, WritePointersStoreIntoTheirReadPointers) {
    PowerOn("local = 25\n");
    for (int i = 0; i < 6; ++i) {
        Write(0x09 + i, 0x10 + i); // reserved bits of 0x03 are stored as written
        Write(0x03 + i, 0x77);     // the read pointers take no writes
    }
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Read(0x03 + i), 0x10 + i) << std::hex << 0x03 + i;
    }
    for (const int pointer : {0x00, 0x15, 0xFE, 0xFF}) {
        const int before = Read(pointer);
        Write(pointer, 0x77);
        EXPECT_EQ(Read(pointer), before) << std::hex << pointer;
    }
}

TEST_F(ChipRegisters, SharedPointersShowRemote2WhileBit3IsSet) {
    PowerOn("remote1 = 30.25\nremote2 = 40.75\n");
    const int twins[][3] = {{0x0D, 0x07, 0x31}, {0x0E, 0x08, 0x32}, {0x11, 0x11, 0x34},
                            {0x12, 0x12, 0x35}, {0x13, 0x13, 0x36}, {0x14, 0x14, 0x37},
                            {0x19, 0x19, 0x39}};
    for (const auto& [write, read, remote2] : twins) {
        Write(write, 0x40 + read);
    }
    EXPECT_EQ(QuarterCode(0x01, 0x10), 30 * 4 + 1);
    Write(0x09, 0x08);
    EXPECT_EQ(QuarterCode(0x01, 0x10), 40 * 4 + 3);
    for (const auto& [write, read, remote2] : twins) {
        Write(write, 0x20 + remote2);
        EXPECT_EQ(Read(read), 0x20 + remote2) << std::hex << read;
        EXPECT_EQ(Read(remote2), 0x20 + remote2) << std::hex << remote2;
    }
    Write(0x09, 0x00);
    for (const auto& [write, read, remote2] : twins) {
        EXPECT_EQ(Read(read), 0x40 + read) << "Remote 1 kept " << std::hex << read;
    }
}

TEST_F(ChipRegisters, LockBitFreezesSettingsUntilPowerCycle) {
    PowerOn("local = 25\n");
    Write(0x24, 0x80);
    const std::pair<int, int> locked[] = {{0x09, 0x03}, {0x0A, 0x04}, {0x0B, 0x05}, {0x13, 0x13},
                                          {0x19, 0x19}, {0x20, 0x20}, {0x24, 0x24}, {0x39, 0x39}};
    for (const auto& [write, read] : locked) {
        const int before = Read(read);
        Write(write, 0x0F); // acknowledged, ignored
        EXPECT_EQ(Read(read), before) << std::hex << write;
    }
    Write(0x11, 0x01);
    EXPECT_EQ(Read(0x11), 0x01) << "offsets calibrate, so they stay writable";

    PowerOn("local = 25\n");
    Write(0x0B, 0x50);
    EXPECT_EQ(Read(0x05), 0x50) << "a power cycle releases the lock";
    PowerOn("reg.0x24 = 0x80\n");
    Write(0x0B, 0x50);
    EXPECT_EQ(Read(0x05), 0x55) << "locked from power-on";
}

} // namespace
} // namespace tarnlink::test
