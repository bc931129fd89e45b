#include "board_fixture.h"

#include <tuple>

namespace tarnlink::test {
namespace {

using BridgeRequests = BoardTest;
using ChipRegisters = BoardTest;

TEST_F(ChipRegisters, WritePointersStoreIntoTheirReadPointersOnly) {
    PowerOn();
    for (int i = 0; i < 6; ++i) {
        Write(0x09 + i, 0x10 + i); // reserved bits of 0x03 are stored as written
        Write(0x03 + i, 0x77);     // the read pointers take no writes
    }
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Read(0x03 + i), 0x10 + i) << std::hex << 0x03 + i;
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

TEST_F(ChipRegisters, LockBitFreezesSettingsButNotOffsetsUntilPowerCycle) {
    PowerOn();
    Write(0x24, 0x80);
    Write(0x0B, 0x0F); // acknowledged, ignored
    Write(0x11, 0x01); // offsets calibrate, so they stay writable
    Write(0x24, 0x00);
    EXPECT_EQ(std::tuple(Read(0x05), Read(0x11), Read(0x24)), std::tuple(0x55, 0x01, 0x80));
    PowerOn();
    Write(0x0B, 0x50);
    EXPECT_EQ(Read(0x05), 0x50) << "a power cycle releases the lock";
}

TEST_F(BridgeRequests, ConnectSucceedsAtTheConfiguredAttemptAndFailAfterUnplugs) {
    EXPECT_EQ(Connect(), StatusNotConnected) << "without firmware nothing answers";
    std::string error;
    for (const int attempt : {1, 20, 0}) { // each download starts counting again
        ASSERT_TRUE(emulator.LoadBoardText("connect_attempt = " + std::to_string(attempt), error));
        ASSERT_EQ(Download(), FirmwareOk);
        for (int i = 1; i < (attempt == 0 ? 100 : attempt); ++i) {
            EXPECT_EQ(Connect(), StatusNotConnected) << attempt;
            EXPECT_EQ(Request(RequestRegister, ChipAddress, 0xFE, 1), StatusNotConnected);
        }
        EXPECT_EQ(Connect(), attempt == 0 ? StatusNotConnected : StatusOk) << attempt;
    }

    PowerOn("fail_after = 2\n");
    EXPECT_EQ(Request(RequestStatusPoll, ChipAddress, 0x02, 1), StatusOk);
    EXPECT_EQ(Request(RequestRegister, ChipAddress, 0x10 * 256 + 0x0B, 0), StatusOk);
    EXPECT_EQ(Request(RequestRegister, ChipAddress, 0xFE, 1), StatusUnplugged);
    EXPECT_EQ(Connect(), StatusUnplugged);
    PowerOn();
    EXPECT_EQ(Read(0x05), 0x55) << "power-cycled";
}

TEST_F(BridgeRequests, ChipsAnswerAtTheirAddressesAndOddRequestsAreRefused) {
    PowerOn("address = 0x18, 0x4E\n");
    Write(0x0B, 0x40, 0x18);
    EXPECT_EQ(Read(0x05, 0x18), 0x40);
    EXPECT_EQ(Read(0x05, 0x4E), 0x55);
    for (const std::int32_t empty : {0x4C, 0x80, -1}) {
        EXPECT_EQ(Read(0xFE, empty), 0xFF) << "the empty bus reads ones at " << empty;
    }
    EXPECT_EQ(Request(223, 0x18, 0xFE, 1), StatusUnknownRequest);
    EXPECT_EQ(emulator.VendorIORequest(RequestConnect, 48, 51, 0, 0, nullptr), StatusNoBuffer);
    EXPECT_EQ(emulator.VendorIORequest(RequestRegister, 0x18, 0x400B, 1, 0, &byte),
              StatusBadArguments);
    Write(0x0C, -3, 0x18); // a negative code arrives as its two's-complement byte
    EXPECT_EQ(Read(0x06, 0x18), 0xFD);
    EXPECT_EQ(Read(0x100 + 0x05, 0x18), 0x40) << "a pointer keeps only its low byte";
}

} // namespace
} // namespace tarnlink::test
