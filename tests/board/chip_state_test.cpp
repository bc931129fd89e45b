#include "board_fixture.h"
#include "chip_state.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnlink::test {
namespace {

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

// A board whose chip keeps its settings in a state file of the test's folder.
class ChipStateTest : public BoardTest {
protected:
    std::string Board() const { return "state = " + folder.Path("chip.state") + "\n"; }
    // Another program on the same board: a fresh emulator powered up from the file.
    std::uint8_t ReadAfterRestart(std::int32_t pointer) {
        Emulator other([this] { return now; });
        std::string error;
        EXPECT_TRUE(other.LoadBoardText(Board(), error)) << error;
        EXPECT_EQ(other.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareOk) << other.LastError();
        std::uint8_t value = 0;
        EXPECT_EQ(other.VendorIORequest(RequestConnect, 48, 51, 0, 0, &value), StatusOk);
        EXPECT_EQ(other.VendorIORequest(RequestRegister, ChipAddress, pointer, 1, 1, &value),
                  StatusOk);
        return value;
    }
    TempDir folder;
};

TEST_F(ChipStateTest, SettingsSurviveAPowerCycleAndOnlyWithTheKey) {
    PowerOn(Board());
    EXPECT_FALSE(std::filesystem::exists(folder.Path("chip.state")));
    Write(0x0B, 0x46); // local high limit, read at 0x05
    Write(0x09, 0x08); // Remote 2 on the shared pointers
    Write(0x0D, 0x50); // so this is Remote 2's high limit, 0x31
    Write(0x0F, 0x01); // one-shot: no register
    EXPECT_EQ(Contents(folder.Path("chip.state")),
              "# Chip registers kept by the emulated board; rewritten after every write.\n"
              "reg.0x03 = 0x08\nreg.0x05 = 0x46\nreg.0x31 = 0x50\n");
    EXPECT_FALSE(std::filesystem::exists(folder.Path("chip.state.new")));

    ASSERT_EQ(Download(), FirmwareOk);
    ASSERT_EQ(Connect(), StatusOk);
    EXPECT_EQ(Read(0x05), 0x46);
    EXPECT_EQ(Read(0x03), 0x08);
    EXPECT_EQ(Read(0x07), 0x50); // Remote 2 selected again

    // Without the key the board starts from the power-on values as before.
    PowerOn();
    EXPECT_EQ(Read(0x05), 0x55);
    Write(0x0B, 0x20);
    EXPECT_EQ(ReadAfterRestart(0x05), 0x46);
}

TEST_F(ChipStateTest, TwoProgramsWritingTheSameBoardMergeTheirWrites) {
    PowerOn(Board());
    Emulator other([this] { return now; });
    std::string error;
    ASSERT_TRUE(other.LoadBoardText(Board(), error));
    ASSERT_EQ(other.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareOk);
    std::uint8_t value = 0;
    ASSERT_EQ(other.VendorIORequest(RequestConnect, 48, 51, 0, 0, &value), StatusOk);
    Write(0x0B, 0x46);
    // The other program powered up before that write and never saw it.
    ASSERT_EQ(other.VendorIORequest(RequestRegister, ChipAddress, 0x30 * 256 + 0x0C, 0, 0, &value),
              StatusOk);
    EXPECT_EQ(ReadAfterRestart(0x05), 0x46);
    EXPECT_EQ(ReadAfterRestart(0x06), 0x30);

    // Real processes at once: every last write of each survives.
    std::vector<pid_t> children;
    for (const std::int32_t pointer : {0x20, 0x21}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Emulator board([] { return std::uint64_t{0}; });
            std::string ignored;
            board.LoadBoardText(Board(), ignored);
            board.LoadFirmWare(TARNLINK_TEST_FIRMWARE);
            board.VendorIORequest(RequestConnect, 48, 51, 0, 0, &value);
            for (std::int32_t n = 1; n <= 40; ++n) {
                board.VendorIORequest(RequestRegister, ChipAddress, n * 256 + pointer, 0, 0,
                                      &value);
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(ReadAfterRestart(0x20), 40);
    EXPECT_EQ(ReadAfterRestart(0x21), 40);
    EXPECT_EQ(ReadAfterRestart(0x05), 0x46);
}

TEST_F(ChipStateTest, ABadStateFileStopsThePowerUp) {
    std::string error;
    const auto refused = [this, &error](const std::string& board) {
        EXPECT_TRUE(emulator.LoadBoardText(board, error)) << error;
        EXPECT_EQ(Download(), FirmwareBadBoard);
        return emulator.LastError();
    };
    folder.Write("chip.state", "reg.0x05 = 0x46\nreg.0x00 = 0x10\n");
    EXPECT_EQ(refused(Board()), "state file " + folder.Path("chip.state") +
                                    ": line 2: register '0x00' is measured by the chip; set "
                                    "local/remote1/remote2 instead");
    // The board file named as its own state file is refused, not rewritten.
    const std::string board = "address = 0x4C\nstate = " + folder.Path("board.txt") + "\n";
    folder.Write("board.txt", board);
    EXPECT_EQ(refused(board),
              "state file " + folder.Path("board.txt") + ": line 1: not a register line");
    EXPECT_EQ(Contents(folder.Path("board.txt")), board);
    EXPECT_TRUE(
        refused("state = " + folder.Path("missing/chip.state") + "\n")
            .starts_with("state file " + folder.Path("missing/chip.state") + ": cannot open "));
}

} // namespace
} // namespace tarnlink::test
