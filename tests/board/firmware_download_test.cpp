// LoadFirmWare checks the Intel HEX file, then the board file it is told to use.
#include "board_config.h"
#include "board_fixture.h"
#include "intel_hex.h"

#include <array>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace tarnlink::test {
namespace {

TEST(FileChecks, BrokenHexRecordsAndBoardLinesAreNamedByLine) {
    EXPECT_TRUE(CheckIntelHexFile(qmt::test::paths::Firmware).ok);
    const HexCheck good = CheckIntelHex(":0300000002010af0\r\n:02000004000AF0\n:00000001FF\r\n\n");
    EXPECT_TRUE(good.ok) << good.reason;
    const std::pair<const char*, const char*> hex[] = {
        {":0300000002010AF1\n:00000001FF\n", "line 1: checksum mismatch"},
        {":0300000002010AF0\n", "line 1: no end-of-file record"},
        {":0300000002010AF0\n:00000001FF\n:0300000002010AF0\n", "line 3: data after the end"},
    };
    for (const auto& [text, reason] : hex) {
        const HexCheck check = CheckIntelHex(text);
        EXPECT_FALSE(check.ok) << text;
        EXPECT_NE(check.reason.find(reason), std::string::npos)
            << text << " gave: " << check.reason;
    }

    const std::pair<const char*, const char*> board[] = {
        {"# fine\naddress 0x4C\n", "line 2: expected 'key = value'"},
        {"address = 0x80\n", "bad address '0x80'"},
        {"local = open\n", "only a remote diode can be open"},
        {"reg.0x05 = 256\n", "bad register value '256'"},
    };
    for (const auto& [text, reason] : board) {
        BoardConfig config;
        config.connectAttempt = 7;
        std::string error;
        EXPECT_FALSE(ParseBoardText(text, config, error)) << text;
        EXPECT_NE(error.find(reason), std::string::npos) << text << " gave: " << error;
        EXPECT_EQ(config.connectAttempt, 7u) << "a rejected text must change nothing";
    }
}

class FirmwareDownload : public BoardTest {
protected:
    ~FirmwareDownload() override { ::unsetenv("TARNLINK_BOARD"); }
    std::int16_t DownloadWithBoard(const std::string& path) {
        ::setenv("TARNLINK_BOARD", path.c_str(), 1);
        return Download();
    }
    const TempDir dir;
};

TEST_F(FirmwareDownload, StatusFollowsTheHexFileAndTheBoardFile) {
    const std::string broken = dir.Write("broken.hex", ":0300000002010AF1\n:00000001FF\n");
    EXPECT_EQ(emulator.LoadFirmWare(nullptr), FirmwareUnreadable);
    EXPECT_EQ(emulator.LoadFirmWare(dir.Path("missing.hex").c_str()), FirmwareUnreadable);
    EXPECT_EQ(emulator.LoadFirmWare(broken.c_str()), FirmwareMalformed);
    EXPECT_EQ(Connect(), StatusNotConnected) << "no firmware, no connection";

    EXPECT_EQ(DownloadWithBoard(dir.Write("bad.board", "address = 0x4C\nspeed = 9\n")),
              FirmwareBadBoard);
    EXPECT_NE(emulator.LastError().find("bad.board: line 2: unknown key 'speed'"),
              std::string::npos)
        << emulator.LastError();
    // A folder, or a device that never ends, is refused rather than read as an
    // empty board or until memory runs out.
    for (const std::string& wrong : {dir.Path("missing"), dir.Path(""), std::string("/dev/zero")}) {
        EXPECT_EQ(DownloadWithBoard(wrong), FirmwareBadBoard) << wrong;
    }
    EXPECT_EQ(DownloadWithBoard(dir.Write("refuse.board", "firmware = fail\n")), FirmwareRefused);
    EXPECT_EQ(Connect(), StatusNotConnected);

    const char* good = "# two chips\n\naddress = 0x18, 77 # both answer\r\nreg.254 = 0x5D\n";
    ASSERT_EQ(DownloadWithBoard(dir.Write("good.board", good)), FirmwareOk);
    ASSERT_EQ(Connect(), StatusOk);
    EXPECT_EQ(Read(0xFE, 77), 0x5D);
    // Text given in code wins over the environment from then on.
    PowerOn("address = 0x2A\n");
    EXPECT_EQ(Read(0xFE, 0x2A), 0x41) << "and the file's registers are gone";
    EXPECT_EQ(emulator.LoadFirmWare(broken.c_str()), FirmwareMalformed);
    EXPECT_EQ(Request(RequestRegister, 0x2A, 0xFE, 1), StatusNotConnected) << "connection dropped";
}

// A FIFO that nobody writes to must not block the download: it reads as
// empty. A pipe that was written (a shell's <(...)) is read to its end.
TEST_F(FirmwareDownload, FifoAndPipeDoNotBlock) {
    const std::string fifo = dir.Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(DownloadWithBoard(fifo), FirmwareOk) << "the default board";
    ::unsetenv("TARNLINK_BOARD");
    EXPECT_EQ(emulator.LoadFirmWare(fifo.c_str()), FirmwareMalformed) << "no end record";

    std::array<int, 2> pipe{};
    ASSERT_EQ(::pipe(pipe.data()), 0);
    const std::string board = "address = 0x2A\n";
    ASSERT_EQ(::write(pipe[1], board.data(), board.size()), static_cast<ssize_t>(board.size()));
    ::close(pipe[1]);
    EXPECT_EQ(DownloadWithBoard("/dev/fd/" + std::to_string(pipe[0])), FirmwareOk);
    ::close(pipe[0]);
    ASSERT_EQ(Connect(), StatusOk);
    EXPECT_EQ(Read(0xFE, 0x2A), 0x41);
}

} // namespace
} // namespace tarnlink::test
