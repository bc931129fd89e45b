#include "board_fixture.h"

#include <gtest/gtest.h>
#include <string>

namespace tarnlink::test {
namespace {

using BridgeRequests = BoardTest;

TEST_F(BridgeRequests, ConnectSucceedsAtTheConfiguredAttempt) {
    std::string error;
    std::uint8_t byte = 0;
    // Without firmware nothing answers, and the attempt does not count.
    EXPECT_EQ(Connect(), StatusNotConnected);
    EXPECT_EQ(RawRead(RequestRegister, ChipAddress, 0xFE, byte), StatusNotConnected);

    ASSERT_TRUE(emulator.LoadBoardText("connect_attempt = 20\n", error));
    ASSERT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareOk);
    for (int attempt = 1; attempt < 20; ++attempt) {
        EXPECT_EQ(Connect(), StatusNotConnected) << attempt;
        EXPECT_EQ(RawRead(RequestRegister, ChipAddress, 0xFE, byte), StatusNotConnected);
    }
    EXPECT_EQ(Connect(), StatusOk);
    EXPECT_EQ(Read(0xFE), 0x41);
    EXPECT_EQ(Connect(), StatusOk) << "stays connected";

    // A new download re-enumerates: counting starts again.
    ASSERT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareOk);
    EXPECT_EQ(Connect(), StatusNotConnected);

    ASSERT_TRUE(emulator.LoadBoardText("connect_attempt = 0\n", error));
    ASSERT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareOk);
    for (int attempt = 1; attempt <= 100; ++attempt) {
        EXPECT_EQ(Connect(), StatusNotConnected) << attempt;
    }

    ASSERT_TRUE(emulator.LoadBoardText("connect_attempt = 1\n", error));
    ASSERT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareOk);
    EXPECT_EQ(Connect(), StatusOk);
}

TEST_F(BridgeRequests, FailAfterUnplugsTheBoardUntilTheNextDownload) {
    PowerOn("fail_after = 3\n");
    std::uint8_t byte = 0;
    EXPECT_EQ(RawRead(RequestRegister, ChipAddress, 0xFE, byte), StatusOk);
    EXPECT_EQ(RawRead(RequestStatusPoll, ChipAddress, 0x02, byte), StatusOk);
    EXPECT_EQ(RawWrite(ChipAddress, 0x10 * 256 + 0x0B), StatusOk);
    EXPECT_EQ(RawRead(RequestRegister, ChipAddress, 0xFE, byte), StatusUnplugged);
    EXPECT_EQ(RawWrite(ChipAddress, 0x10 * 256 + 0x0B), StatusUnplugged);
    EXPECT_EQ(Connect(), StatusUnplugged);
    EXPECT_EQ(RawRead(RequestStatusPoll, ChipAddress, 0x02, byte), StatusUnplugged);

    ASSERT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareOk);
    ASSERT_EQ(Connect(), StatusOk);
    EXPECT_EQ(Read(0x05), 0x55) << "power-cycled";
}

TEST_F(BridgeRequests, ChipsAnswerAtTheirOwnAddressesAndTheEmptyBusReadsOnes) {
    PowerOn("address = 0x18, 0x4E\n");
    Write(0x0B, 0x40, 0x18);
    EXPECT_EQ(Read(0x05, 0x18), 0x40);
    EXPECT_EQ(Read(0x05, 0x4E), 0x55);
    EXPECT_EQ(Read(0xFE, 0x4E), 0x41);

    for (const std::int32_t empty : {0x00, 0x19, 0x4C, 0x4D, 0x7F, 0x80, -1, 1000}) {
        std::uint8_t byte = 0;
        EXPECT_EQ(RawRead(RequestRegister, empty, 0xFE, byte), StatusOk) << empty;
        EXPECT_EQ(byte, 0xFF) << empty;
        EXPECT_EQ(RawWrite(empty, 0x40 * 256 + 0x0B), StatusOk) << empty;
    }
}

TEST_F(BridgeRequests, RejectsMalformedRequestsWithoutTouchingTheChip) {
    PowerOn("");
    std::uint8_t byte = 0;
    EXPECT_EQ(RawRead(223, ChipAddress, 0xFE, byte), StatusUnknownRequest);
    EXPECT_EQ(RawRead(0, ChipAddress, 0xFE, byte), StatusUnknownRequest);
    EXPECT_EQ(emulator.VendorIORequest(RequestRegister, ChipAddress, 0xFE, 1, 1, nullptr),
              StatusNoBuffer);
    EXPECT_EQ(emulator.VendorIORequest(RequestConnect, 48, 51, 0, 0, nullptr), StatusNoBuffer);

    std::uint8_t buffer[1] = {0};
    EXPECT_EQ(emulator.VendorIORequest(RequestRegister, ChipAddress, 0x400B, 1, 0, buffer),
              StatusBadArguments);
    EXPECT_EQ(emulator.VendorIORequest(RequestStatusPoll, ChipAddress, 0x400B, 0, 0, buffer),
              StatusBadArguments);
    EXPECT_EQ(emulator.VendorIORequest(RequestConnect, 48, 52, 0, 0, buffer), StatusBadArguments);
    EXPECT_EQ(Read(0x05), 0x55);
}

TEST_F(BridgeRequests, WriteIndexCarriesValueAndPointerAsSixteenBits) {
    PowerOn("");
    Write(0x0B, 0x00);
    EXPECT_EQ(Read(0x05), 0x00);
    Write(0x0B, 0xFF);
    EXPECT_EQ(Read(0x05), 0xFF);
    // A negative code arrives as its two's-complement byte.
    EXPECT_EQ(RawWrite(ChipAddress, -3 * 256 + 0x0C), StatusOk);
    EXPECT_EQ(Read(0x06), 0xFD);
    // A read pointer beyond a byte keeps only its low byte.
    EXPECT_EQ(Read(0x100 + 0xFE), 0x41);
}

} // namespace
} // namespace tarnlink::test
