#include "board_fixture.h"
#include "chip_state.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/fs.h>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnlink::test {
namespace {

std::string Contents(const std::string& path) {
    std::ostringstream contents;
    contents << std::ifstream(path, std::ios::binary).rdbuf();
    return contents.str();
}

// Takes the write permission of a file or folder away, from root too: root
// ignores permissions, so it also gets the immutable flag. Both are given back
// when it goes, before the scratch folder is removed.
class ReadOnly {
public:
    explicit ReadOnly(std::filesystem::path path)
        : path_(std::move(path)), mode_(std::filesystem::status(path_).permissions()) {
        using std::filesystem::perms;
        std::filesystem::permissions(path_,
                                     perms::owner_write | perms::group_write | perms::others_write,
                                     std::filesystem::perm_options::remove);
        held_ = ::geteuid() != 0 || SetImmutable(true);
    }
    ~ReadOnly() {
        if (::geteuid() == 0) {
            SetImmutable(false);
        }
        std::filesystem::permissions(path_, mode_);
    }
    ReadOnly(const ReadOnly&) = delete;
    ReadOnly& operator=(const ReadOnly&) = delete;
    // False where root may not set the flag (no capability, a file system without it).
    bool held() const { return held_; }

private:
    bool SetImmutable(bool on) const {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    std::filesystem::path path_;
    std::filesystem::perms mode_;
    bool held_ = false;
};

// A board whose chip keeps its settings in a state file of the test's folder.
class ChipStateTest : public BoardTest {
protected:
    std::string Board() const { return "state = " + folder.Path("chip.state") + "\n"; }
    // Power-cycles the board, which reads the file again, and reads a register.
    std::uint8_t ReadAfterRestart(std::int32_t pointer) {
        PowerOn(Board());
        return Read(pointer);
    }
    TempDir folder;
};

TEST_F(ChipStateTest, SettingsSurviveAPowerCycleAndOnlyWithTheKey) {
    PowerOn(Board());
    Write(0x0B, 0x46); // local high limit, read at 0x05
    Write(0x09, 0x08); // Remote 2 on the shared pointers
    Write(0x0D, 0x50); // so this is Remote 2's high limit, 0x31
    Write(0x0F, 0x01); // one-shot: no register
    EXPECT_EQ(Contents(folder.Path("chip.state")),
              "# Chip registers kept by the emulated board; rewritten after every write.\n"
              "reg.0x03 = 0x08\nreg.0x05 = 0x46\nreg.0x31 = 0x50\n");
    EXPECT_FALSE(std::filesystem::exists(folder.Path("chip.state.new")));
    EXPECT_EQ(ReadAfterRestart(0x05), 0x46);
    EXPECT_EQ(Read(0x07), 0x50); // Remote 2 selected again

    // Without the key the board starts from the power-on values and leaves the file alone.
    PowerOn();
    EXPECT_EQ(Read(0x05), 0x55);
    Write(0x0B, 0x20);
    EXPECT_EQ(ReadAfterRestart(0x05), 0x46);
}

TEST_F(ChipStateTest, TwoProgramsWritingTheSameBoardMergeTheirWrites) {
    PowerOn(Board());
    Write(0x0B, 0x46);
    // Two processes at once, each writing its own register: every last write of each
    // survives, so no write rewrites the file from a stale copy.
    std::vector<pid_t> children;
    for (const std::int32_t pointer : {0x20, 0x21}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            PowerOn(Board());
            for (std::int32_t n = 1; n <= 40; ++n) {
                Write(pointer, n);
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
    EXPECT_EQ(ReadAfterRestart(0x05), 0x46) << "and the first program's write";
}

// A write of the value this process last saw is still stored: another
// process may have stored a different one since, and the last write wins.
TEST_F(ChipStateTest, AWriteOfTheSameValueWinsOverAnotherProcesssWrite) {
    PowerOn(Board());
    EXPECT_EQ(Read(0x05), 0x55);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        PowerOn(Board());
        Write(0x0B, 0x20);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    Write(0x0B, 0x55); // the same value as this process's copy
    EXPECT_EQ(ReadAfterRestart(0x05), 0x55);
}

// Links put in place of the new file or the lock file are never followed.
TEST_F(ChipStateTest, LinksInPlaceOfTheNewFileOrTheLockFileAreNotFollowed) {
    folder.Write("victim", "keep\n");
    ASSERT_EQ(::symlink(folder.Path("victim").c_str(), folder.Path("chip.state.new").c_str()), 0);
    PowerOn(Board());
    Write(0x0B, 0x46);
    EXPECT_EQ(Contents(folder.Path("victim")), "keep\n");
    EXPECT_EQ(ReadAfterRestart(0x05), 0x46);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("chip.state.new")));

    std::filesystem::remove(folder.Path("chip.state.lock"));
    ASSERT_EQ(::symlink(folder.Path("victim").c_str(), folder.Path("chip.state.lock").c_str()), 0);
    std::string error;
    ASSERT_TRUE(emulator.LoadBoardText(Board(), error)) << error;
    EXPECT_EQ(Download(), FirmwareBadBoard);
    EXPECT_NE(emulator.LastError().find("cannot open " + folder.Path("chip.state.lock")),
              std::string::npos)
        << emulator.LastError();
}

// A state file this process may not replace (the file or its folder read-only)
// is read, and the board starts; writes change the chip but not the file, and
// one line says so.
TEST_F(ChipStateTest, AReadOnlyStateFileIsReadButNotRewritten) {
    const std::string state = folder.Path("chip.state");
    const std::string stored = "reg.0x05 = 0x46\n";
    folder.Write("chip.state", stored);
    for (const std::filesystem::path& locked : {folder.root, std::filesystem::path(state)}) {
        SCOPED_TRACE(locked);
        const ReadOnly readOnly(locked);
        if (!readOnly.held()) {
            GTEST_SKIP() << "cannot set the immutable flag on " << locked;
        }
        ::testing::internal::CaptureStderr();
        PowerOn(Board());
        EXPECT_EQ(Read(0x05), 0x46);
        Write(0x0B, 0x30);
        Write(0x0B, 0x31);
        EXPECT_EQ(Read(0x05), 0x31);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "Tarnlink: state file " + state + " is read-only; changes are not kept\n");
        EXPECT_EQ(Contents(state), stored);
        EXPECT_FALSE(std::filesystem::exists(state + ".new"));
    }
}

TEST_F(ChipStateTest, ABoardFileNamedAsItsStateFileIsRefusedNotRewritten) {
    std::string error;
    const std::string board = "address = 0x4C\nstate = " + folder.Path("board.txt") + "\n";
    folder.Write("board.txt", board);
    ASSERT_TRUE(emulator.LoadBoardText(board, error)) << error;
    EXPECT_EQ(Download(), FirmwareBadBoard);
    EXPECT_EQ(emulator.LastError(),
              "state file " + folder.Path("board.txt") + ": line 1: not a register line");
    EXPECT_EQ(Contents(folder.Path("board.txt")), board);
}

} // namespace
} // namespace tarnlink::test
