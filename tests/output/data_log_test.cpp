#include "output/data_log.h"
#include "output/log_format.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qmt::output {
namespace {

const std::string ExampleRun = "\r\nQMT6171/3 Log File\r\n\r\n"
                               "Time ,Local(\xB0"
                               "C) ,Remote1(\xB0"
                               "C) ,Remote2(\xB0"
                               "C) ,\r\n"
                               "0, 25, 30.25, 28.5,\r\n"
                               ".1, 25, 30.25, 28.5,\r\n"
                               ".2, 25, 30.5,-1.75,\r\n";

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void SetReadings(GeneralStuff& state, float local, float remote1, float remote2) {
    state.LocalTemp = local;
    state.Remote1Temp = remote1;
    state.Remote2Temp = remote2;
}

// A folder on a fresh tmpfs of the given size, gone again with the object.
// Mounting needs root (and a system that allows it).
struct SmallTmpfs {
    explicit SmallTmpfs(const std::string& size)
        : mounted(::geteuid() == 0 && dir.isValid() &&
                  ::mount("tmpfs", Where(), "tmpfs", 0, ("size=" + size).c_str()) == 0) {}
    ~SmallTmpfs() {
        if (mounted) {
            ::umount(Where());
        }
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;
    const char* Where() const { return where.c_str(); }

    QTemporaryDir dir;
    std::string where = dir.path().toStdString();
    bool mounted;
};

TEST(DataLog, ExampleRunThenASecondRunAppendedToTheSameFile) {
    QTemporaryDir dir;
    GeneralStuff state;
    state.LogFilePath = dir.filePath("new.csv").toStdString(); // created by the start
    DataLog log(state);
    ASSERT_TRUE(log.Start(100).ok);
    SetReadings(state, 25.0f, 30.25f, 28.5f);
    log.AppendLogLine();
    log.AppendLogLine();
    SetReadings(state, 25.0f, 30.5f, -1.75f);
    log.AppendLogLine();
    EXPECT_TRUE(log.Stop().ok);
    EXPECT_FALSE(state.LoggingOn);
    EXPECT_EQ(FileBytes(state.LogFilePath), ExampleRun);

    // A new run restarts the time at 0 under a new title, after the old lines.
    state.LogChannel = {false, false, true};
    state.LogLineCount = 99;
    ASSERT_TRUE(log.Start(250).ok);
    for (int line = 0; line < 3; ++line) {
        log.AppendLogLine();
    }
    log.Stop();
    EXPECT_EQ(FileBytes(state.LogFilePath), ExampleRun +
                                                "\r\nQMT6171/3 Log File\r\n\r\nTime ,Remote2(\xB0"
                                                "C) ,\r\n"
                                                "0,-1.75,\r\n.25,-1.75,\r\n.5,-1.75,\r\n");
}

TEST(DataLog, AFileThatTakesNoBytesRefusesTheStartAndCountsLostLines) {
    GeneralStuff state;
    state.LogFilePath = "/dev/full";
    DataLog log(state);
    const WriteOutcome start = log.Start(500);
    EXPECT_FALSE(start.ok);
    EXPECT_EQ(start.error, "No space left on device");
    EXPECT_FALSE(state.LoggingOn);

    // The same file failing mid-run: every interval is still counted.
    state.LoggingOn = true;
    for (int line = 0; line < 3; ++line) {
        EXPECT_FALSE(log.AppendLogLine().ok);
    }
    EXPECT_TRUE(log.Failing());
    EXPECT_EQ(state.LogLineCount, 3);
    EXPECT_EQ(log.LinesLost(), 3);
}

TEST(DataLog, ADeletedFolderLosesOnlyItsIntervalsAndWritingResumes) {
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.filePath("run").toStdString();
    std::filesystem::create_directory(folder);
    GeneralStuff state;
    state.LogFilePath = (folder / "log.csv").string();
    state.LogChannel = {true, false, false};
    SetReadings(state, 25.0f, 0.0f, 0.0f);
    DataLog log(state);
    ASSERT_TRUE(log.Start(100).ok);
    log.AppendLogLine();
    std::filesystem::remove_all(folder);
    EXPECT_EQ(log.AppendLogLine().error, "No such file or directory");
    EXPECT_FALSE(log.Stop().ok); // nothing left to flush: said so, not hidden
    state.LoggingOn = true;
    std::filesystem::create_directory(folder);
    EXPECT_TRUE(log.AppendLogLine().ok);
    EXPECT_FALSE(log.Failing());
    // The file made again starts with the run's head, so the replay reads the line.
    EXPECT_EQ(FileBytes(state.LogFilePath), LogRunHead(state.LogChannel) + ".2, 25,\r\n");
}

// A FIFO without a reader fails at once (no hang); with a reader the lines
// go through, and stopping syncs nothing and says no failure.
TEST(DataLog, AFifoFailsAtOnceWithoutReaderAndNeedsNoSyncWithOne) {
    QTemporaryDir dir;
    GeneralStuff state;
    state.LogFilePath = dir.filePath("fifo").toStdString();
    ASSERT_EQ(::mkfifo(state.LogFilePath.c_str(), 0600), 0);
    DataLog log(state);
    const WriteOutcome alone = log.Start(100);
    EXPECT_FALSE(alone.ok);
    EXPECT_EQ(alone.error, "a FIFO with no reader");
    EXPECT_FALSE(state.LoggingOn);

    const int reader = ::open(state.LogFilePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(log.Start(100).ok);
    SetReadings(state, 25.0f, 0.0f, 0.0f);
    EXPECT_TRUE(log.AppendLogLine().ok);
    EXPECT_TRUE(log.Stop().ok);
    std::string bytes(256, '\0');
    const ssize_t got = ::read(reader, bytes.data(), bytes.size());
    ::close(reader);
    ASSERT_GT(got, 0);
    bytes.resize(static_cast<std::size_t>(got));
    EXPECT_NE(bytes.find("\r\n0, 25,"), std::string::npos) << bytes;
}

// A start that cannot write its head leaves no empty file behind.
TEST(DataLog, AFailedStartOnAFullDiskLeavesNoFile) {
    SmallTmpfs disk("4k");
    if (!disk.mounted) {
        GTEST_SKIP() << "needs root and permission to mount a tmpfs";
    }
    std::ofstream(disk.where + "/filler", std::ios::binary) << std::string(8192, 'x');
    GeneralStuff state;
    state.LogFilePath = disk.where + "/log.csv";
    DataLog log(state);
    EXPECT_FALSE(log.Start(100).ok);
    EXPECT_FALSE(std::filesystem::exists(state.LogFilePath));
}

TEST(DataLog, AFullDiskMidRunLeavesOnlyWholeLinesWithTrueTimes) {
    SmallTmpfs disk("16k");
    if (!disk.mounted) {
        GTEST_SKIP() << "needs root and permission to mount a tmpfs";
    }
    GeneralStuff state;
    state.LogFilePath = disk.where + "/log.csv";
    SetReadings(state, 25.0f, 30.25f, -1.75f);
    DataLog log(state);
    ASSERT_TRUE(log.Start(100).ok);
    // Fill the disk until lines fail; a line straddling the last free byte
    // is the case that would leave half a line behind.
    int failures = 0;
    while (failures < 3 && state.LogLineCount < 5000) {
        failures += log.AppendLogLine().ok ? 0 : 1;
    }
    ASSERT_EQ(failures, 3);
    const std::string full = FileBytes(state.LogFilePath);
    ASSERT_TRUE(full.ends_with(", 25, 30.25,-1.75,\r\n"));

    // Room again (the user deleted something): the next line is written
    // with its true time, after a gap of the three lost intervals.
    const std::int64_t firstLost = log.LinesWritten();
    const std::string cut = full.substr(0, full.rfind("\r\n", full.size() - 200) + 2);
    std::filesystem::resize_file(state.LogFilePath, cut.size());
    ASSERT_TRUE(log.AppendLogLine().ok);
    EXPECT_EQ(FileBytes(state.LogFilePath),
              cut + LogTimeField(firstLost + 3, 100) + ", 25, 30.25,-1.75,\r\n");
    EXPECT_TRUE(log.Stop().ok);
}

} // namespace
} // namespace qmt::output
