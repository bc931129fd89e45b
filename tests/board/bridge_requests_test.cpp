#include "board_fixture.h"

namespace tarnlink::test {
namespace {

using BridgeRequests = BoardTest;

TEST_F(BridgeRequests, ConnectSucceedsAtTheConfiguredAttempt) {
    // Without firmware nothing answers, and the attempt does not count.
    EXPECT_EQ(Connect(), StatusNotConnected);
    std::string error;
    for (const int attempt : {1, 20, 0}) { // each download starts counting again
        ASSERT_TRUE(emulator.LoadBoardText("connect_attempt = " + std::to_string(attempt), error));
        ASSERT_EQ(Download(), FirmwareOk);
        const int tries = attempt == 0 ? 100 : attempt - 1;
        for (int i = 0; i < tries; ++i) {
            EXPECT_EQ(Connect(), StatusNotConnected) << attempt;
            EXPECT_EQ(Request(RequestRegister, ChipAddress, 0xFE, 1), StatusNotConnected);
        }
        if (attempt != 0) {
            EXPECT_EQ(Connect(), StatusOk) << attempt;
            EXPECT_EQ(Read(0xFE), 0x41);
        }
    }
}

TEST_F(BridgeRequests, FailAfterUnplugsTheBoardUntilTheNextDownload) {
    PowerOn("fail_after = 3\n");
    EXPECT_EQ(Request(RequestRegister, ChipAddress, 0xFE, 1), StatusOk);
    EXPECT_EQ(Request(RequestStatusPoll, ChipAddress, 0x02, 1), StatusOk);
    EXPECT_EQ(Request(RequestRegister, ChipAddress, 0x10 * 256 + 0x0B, 0), StatusOk);
    EXPECT_EQ(Request(RequestRegister, ChipAddress, 0xFE, 1), StatusUnplugged);
    EXPECT_EQ(Connect(), StatusUnplugged);
    ASSERT_EQ(Download(), FirmwareOk);
    ASSERT_EQ(Connect(), StatusOk);
    EXPECT_EQ(Read(0x05), 0x55) << "power-cycled";
}

TEST_F(BridgeRequests, ChipsAnswerAtTheirOwnAddressesAndTheEmptyBusReadsOnes) {
    PowerOn("address = 0x18, 0x4E\n");
    Write(0x0B, 0x40, 0x18);
    EXPECT_EQ(Read(0x05, 0x18), 0x40);
    EXPECT_EQ(Read(0x05, 0x4E), 0x55);
    for (const std::int32_t empty : {0x4C, 0x80, -1}) {
        EXPECT_EQ(Read(0xFE, empty), 0xFF) << empty;
        Write(0x0B, 0x40, empty);
    }
}

TEST_F(BridgeRequests, RejectsMalformedRequestsAndPacksWritesIntoSixteenBits) {
    PowerOn("");
    EXPECT_EQ(Request(223, ChipAddress, 0xFE, 1), StatusUnknownRequest);
    EXPECT_EQ(emulator.VendorIORequest(RequestConnect, 48, 51, 0, 0, nullptr), StatusNoBuffer);
    EXPECT_EQ(emulator.VendorIORequest(RequestRegister, ChipAddress, 0x400B, 1, 0, &byte),
              StatusBadArguments);
    EXPECT_EQ(Read(0x05), 0x55);

    Write(0x0C, -3); // a negative code arrives as its two's-complement byte
    EXPECT_EQ(Read(0x06), 0xFD);
    EXPECT_EQ(Read(0x100 + 0xFE), 0x41) << "a pointer keeps only its low byte";
}

} // namespace
} // namespace tarnlink::test
