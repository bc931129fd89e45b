// How the built qmtctl opens what it writes: files it replaces, logs it
// appends to, device paths. Users run it with sudo to reach /dev/i2c-*, so
// the cases that matter most are root's; they are skipped for other users.
#include "cli/qmtctl_process.h"
#include "support/test_paths.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr uid_t OtherUser = 65534;
constexpr gid_t OtherGroup = 65534;
constexpr char RunHead[] = "\r\nQMT6171/3 Log File\r\n";

using Outcome = qmt::test::QmtctlOutcome;

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

struct stat Stat(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

class QmtctlFiles : public ::testing::Test {
protected:
    QmtctlFiles() { std::ofstream(board.toStdString()) << "local = 25\n"; }
    Outcome Run(const QStringList& arguments) {
        return qmt::test::RunQmtctlOnBoard(board, arguments);
    }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    void ExpectSaveRefused(const std::string& path, const std::string& reason) {
        const Outcome run = Run({"save", QString::fromStdString(path)});
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(run.err,
                  "qmtctl: Save failed, nothing written to " + path + ": " + reason + "\n");
    }

    QTemporaryDir dir;
    QString board = dir.filePath("board.txt");
};

TEST_F(QmtctlFiles, SaveRefusesFifosDevicesAndOtherUsersLinksAndKeepsOwners) {
    const std::string fifo = Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ExpectSaveRefused(fifo, fifo + " is a FIFO, not a regular file");
    EXPECT_TRUE(S_ISFIFO(Stat(fifo).st_mode));
    if (::geteuid() != 0) {
        GTEST_SKIP() << "device nodes and other users' files need root";
    }
    const std::string null = Path("null");
    ASSERT_EQ(::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    ExpectSaveRefused(null, null + " is a device, not a regular file");
    EXPECT_TRUE(S_ISCHR(Stat(null).st_mode));

    // Another user's link in a shared sticky folder, to a root-only file.
    const std::string shared = Path("shared");
    ASSERT_EQ(::mkdir(shared.c_str(), 01777), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string secret = Path("secret");
    std::ofstream(secret) << "root's";
    const std::string link = shared + "/a.sav";
    ASSERT_EQ(::symlink(secret.c_str(), link.c_str()), 0);
    ASSERT_EQ(::lchown(link.c_str(), OtherUser, OtherGroup), 0);
    ExpectSaveRefused(link, link + " is a symbolic link of another user, not followed");
    EXPECT_EQ(Read(secret), "root's");

    // Root's save over another user's file keeps the owner and the mode.
    const std::string theirs = Path("theirs.sav");
    std::ofstream(theirs) << "old";
    ASSERT_EQ(::chown(theirs.c_str(), OtherUser, OtherGroup), 0);
    ASSERT_EQ(::chmod(theirs.c_str(), 0640), 0);
    const Outcome run = Run({"save", QString::fromStdString(theirs)});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(Read(theirs), "old");
    EXPECT_EQ(Stat(theirs).st_uid, OtherUser);
    EXPECT_EQ(Stat(theirs).st_gid, OtherGroup);
    EXPECT_EQ(Stat(theirs).st_mode & 07777, 0640u);
}

// A FIFO without a reader fails at once instead of hanging; a pipe (the
// shell's | or /dev/stdout) takes the lines and needs no sync.
TEST_F(QmtctlFiles, LogToAFifoWithoutReaderFailsAtOnceAndToAPipeSucceeds) {
    const std::string fifo = Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    Outcome run = Run({"log", QString::fromStdString(fifo), "--count", "2"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "qmtctl: cannot write log file '" + fifo + "': a FIFO with no reader\n");

    run = Run({"log", "/dev/stdout", "--count", "2", "--interval", "0"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with(RunHead)) << run.out;
    EXPECT_TRUE(run.out.ends_with("2 lines written to /dev/stdout\n")) << run.out;
}

// The log moved away mid-run: the file made again starts with the run's
// head, and the lines of both files are all the lines the run wrote.
TEST_F(QmtctlFiles, ALogMovedMidRunStartsAgainWithItsHead) {
    const QString log = dir.filePath("run.csv");
    QProcess process;
    process.setReadChannel(QProcess::StandardError);
    process.start(qmt::test::paths::Qmtctl,
                  {"--board", board, "--verbose", "log", log, "--interval", "0"});
    std::string err;
    const auto waitFor = [&](const std::string& text) {
        while (err.find(text) == std::string::npos) {
            ASSERT_TRUE(process.waitForReadyRead(60000)) << err;
            err += process.readAllStandardError().toStdString();
        }
    };
    waitFor("line 2 at ");
    ASSERT_TRUE(QFile::rename(log, dir.filePath("moved.csv")));
    const std::size_t moved = err.size();
    while (err.find("line ", moved) == std::string::npos) {
        ASSERT_TRUE(process.waitForReadyRead(60000)) << err;
        err += process.readAllStandardError().toStdString();
    }
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << err;
    const std::string before = Read(Path("moved.csv"));
    const std::string after = Read(Path("run.csv"));
    EXPECT_TRUE(after.starts_with(RunHead)) << after;
    const auto dataLines = [](const std::string& text) {
        std::size_t lines = 0;
        for (std::size_t at = text.find("\r\n"); at != std::string::npos;
             at = text.find("\r\n", at + 2)) {
            ++lines;
        }
        return lines - 4; // the head's four line ends
    };
    const std::size_t lines = dataLines(before) + dataLines(after);
    EXPECT_EQ(process.readAllStandardOutput().toStdString(),
              std::to_string(lines) + " lines written to " + log.toStdString() + "\n");
}

// A mistyped device path is named with the reason, and never sees an ioctl.
TEST_F(QmtctlFiles, BridgeOnWhatIsNoI2cDevIsRefused) {
    QProcess process;
    process.start(qmt::test::paths::Qmtctl, {"--bridge", "i2c:/dev/null", "temps"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_NE(process.exitCode(), 0);
    const std::string err = process.readAllStandardError().toStdString();
    EXPECT_NE(err.find("/dev/null is refused: not an i2c-dev device (major 1, not 89)"),
              std::string::npos)
        << err;
}

} // namespace
