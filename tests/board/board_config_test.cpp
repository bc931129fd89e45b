#include "board_config.h"
#include "board_fixture.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace tarnlink {
namespace {

TEST(BoardConfig, ParsesEveryKey) {
    BoardConfig board;
    std::string error;
    ASSERT_TRUE(ParseBoardText("# two chips on a bench\n"
                               "address = 0x18, 76 # both answer\n"
                               "\n"
                               "firmware = ok\n"
                               "connect_attempt = 20\n"
                               "fail_after = 0x100\n"
                               "local = -10.5\n"
                               "remote1 = ramp 20 80 60\n"
                               "remote2 = sine 30 2.5 90\r\n"
                               "reg.0x05 = 0x46\n"
                               "reg.254 = 0\n",
                               board, error))
        << error;
    EXPECT_EQ(board.addresses, (std::vector<std::uint8_t>{0x18, 0x4C}));
    EXPECT_TRUE(board.firmwareOk);
    EXPECT_EQ(board.connectAttempt, 20u);
    EXPECT_EQ(board.failAfter, 256u);
    EXPECT_EQ(board.local.kind, TemperatureSource::Kind::Constant);
    EXPECT_DOUBLE_EQ(board.local.a, -10.5);
    EXPECT_EQ(board.remote1.kind, TemperatureSource::Kind::Ramp);
    EXPECT_DOUBLE_EQ(TemperatureAt(board.remote1, 30.0), 50.0);
    EXPECT_DOUBLE_EQ(TemperatureAt(board.remote1, 600.0), 80.0); // holds its end
    EXPECT_EQ(board.remote2.kind, TemperatureSource::Kind::Sine);
    EXPECT_NEAR(TemperatureAt(board.remote2, 22.5), 32.5, 1e-9);
    const std::vector<std::pair<std::uint8_t, std::uint8_t>> registers{{0x05, 0x46}, {0xFE, 0x00}};
    EXPECT_EQ(board.registerValues, registers);

    ASSERT_TRUE(ParseBoardText("firmware = fail\nremote1 = open\n", board, error)) << error;
    EXPECT_FALSE(board.firmwareOk);
    EXPECT_EQ(board.remote1.kind, TemperatureSource::Kind::Open);
}

TEST(BoardConfig, EmptyTextIsTheDefaultBoard) {
    BoardConfig board;
    std::string error;
    ASSERT_TRUE(ParseBoardText("# nothing but a comment\n", board, error));
    EXPECT_EQ(board.addresses, std::vector<std::uint8_t>{0x4C});
    EXPECT_EQ(board.connectAttempt, 1u);
    EXPECT_EQ(board.failAfter, 0u);
    // The default board drifts, so that a graph of it moves.
    EXPECT_EQ(board.local.kind, TemperatureSource::Kind::Sine);
    EXPECT_EQ(board.remote1.kind, TemperatureSource::Kind::Sine);
}

TEST(BoardConfig, RejectsBadLinesWithTheirNumber) {
    struct Case {
        const char* text;
        const char* reason;
    };
    const Case cases[] = {
        {"colour = red\n", "line 1: unknown key 'colour'"},
        {"# fine\naddress 0x4C\n", "line 2: expected 'key = value'"},
        {"address =\n", "line 1: expected 'key = value'"},
        {"connect_attempt = 2x\n", "line 1: bad number '2x'"},
        {"fail_after = -1\n", "line 1: bad number"},
        {"address = 0x80\n", "bad address '0x80'"},
        {"address = 0x18,,0x4C\n", "bad address ''"},
        {"address = 0x4C, 76\n", "given twice"},
        {"firmware = maybe\n", "firmware must be ok or fail"},
        {"local = open\n", "only a remote diode can be open"},
        {"local = warm\n", "bad temperature 'warm'"},
        {"remote1 = ramp 20 80\n", "expected DEGREES"},
        {"remote1 = sine 20 5 0\n", "period above 0"},
        {"remote2 = 1e999\n", "bad temperature"},
        {"reg.0x00 = 5\n", "measured by the chip"},
        {"reg.0x15 = 5\n", "no register is read at '0x15'"},
        {"reg.0x100 = 5\n", "bad register pointer"},
        {"reg.0x05 = 256\n", "bad register value '256'"},
    };
    for (const Case& c : cases) {
        BoardConfig board;
        board.connectAttempt = 7;
        std::string error;
        EXPECT_FALSE(ParseBoardText(c.text, board, error)) << c.text;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << " gave: " << error;
        EXPECT_EQ(board.connectAttempt, 7u) << "a rejected text must change nothing";
    }
}

class BoardFileTest : public test::BoardTest {
protected:
    ~BoardFileTest() override { ::unsetenv("TARNLINK_BOARD"); }
};

TEST_F(BoardFileTest, FirmwareDownloadReadsTheBoardFileNamedByTheEnvironment) {
    const test::TempDir dir;
    ::setenv("TARNLINK_BOARD", dir.Write("bad.board", "address = 0x4C\nspeed = 9\n").c_str(), 1);
    EXPECT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareBadBoard);
    EXPECT_NE(emulator.LastError().find("bad.board: line 2: unknown key 'speed'"),
              std::string::npos)
        << emulator.LastError();
    EXPECT_EQ(Connect(), StatusNotConnected);

    ::setenv("TARNLINK_BOARD", dir.Path("missing.board").c_str(), 1);
    EXPECT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareBadBoard);

    // A folder, or a device that never ends, is refused instead of read as an
    // empty board or read until memory runs out.
    for (const std::string& wrong : {dir.Path(""), std::string("/dev/zero")}) {
        ::setenv("TARNLINK_BOARD", wrong.c_str(), 1);
        EXPECT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareBadBoard) << wrong;
        EXPECT_EQ(Connect(), StatusNotConnected) << wrong;
    }

    ::setenv("TARNLINK_BOARD", dir.Write("refuse.board", "firmware = fail\n").c_str(), 1);
    EXPECT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareRefused);
    EXPECT_EQ(Connect(), StatusNotConnected);

    ::setenv("TARNLINK_BOARD", dir.Write("good.board", "address = 0x18\n").c_str(), 1);
    ASSERT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareOk);
    ASSERT_EQ(Connect(), StatusOk);
    EXPECT_EQ(Read(0xFE, 0x18), 0x41);
    EXPECT_EQ(Read(0xFE, 0x4C), 0xFF);

    // Text given in code wins over the environment from then on.
    std::string error;
    ASSERT_TRUE(emulator.LoadBoardText("address = 0x2A\n", error));
    ASSERT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareOk);
    ASSERT_EQ(Connect(), StatusOk);
    EXPECT_EQ(Read(0xFE, 0x2A), 0x41);
    EXPECT_EQ(Read(0xFE, 0x18), 0xFF);

    EXPECT_FALSE(emulator.LoadBoardText("local = open\n", error));
    EXPECT_EQ(error, "line 1: only a remote diode can be open");
}

} // namespace
} // namespace tarnlink
