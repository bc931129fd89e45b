#include "scenarios/log_file_check.h"
#include "scenarios/scenario.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

// The log's target fails in the middle of a run and comes back: the run goes
// on, every line reported written is in the file, whole, and the lines lost
// meanwhile show as a gap in the time column.
namespace qmt::scenario {

namespace {

const std::string Readings = " 25, 30.25,-10.5,";
const QStringList ConstantBoard{"--board", BoardFile("constant_readings.board")};
constexpr double IntervalSeconds = 0.01;
constexpr int LinesBeforeFault = 20;
constexpr int LinesAfterRecovery = 10;
// Requests the program makes while the fault lasts: a few lines' worth.
constexpr std::size_t RequestsDuringFault = 40;
constexpr int LogLinesLostStatus = 1;

std::size_t DataLines(const QString& path) {
    return ReadLogFile(path, Readings).times.size();
}

// A small tmpfs that the test fills and frees; unmounted at the end.
class SmallDisk {
public:
    explicit SmallDisk(const QString& path) : path_(path.toStdString()) {
        QDir().mkpath(path);
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(path_.c_str(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool Mounted() const { return mounted_; }
    // Writes a filler file until the disk is full.
    void Fill() const {
        QFile filler(QString::fromStdString(path_ + "/filler"));
        if (!filler.open(QIODevice::WriteOnly)) {
            return;
        }
        const QByteArray block(512, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    void Free() const { QFile::remove(QString::fromStdString(path_ + "/filler")); }

private:
    std::string path_;
    bool mounted_ = false;
};

// Waits until the program has made `count` more board requests.
bool WaitForRequests(Scenario& scenario, std::size_t count) {
    const std::size_t from = scenario.Trace().size();
    return scenario.WaitUntil([&] { return scenario.Trace().size() >= from + count; });
}

bool WaitForLines(Scenario& scenario, const QString& log, std::size_t count) {
    return scenario.WaitUntil([&] { return DataLines(log) >= count; });
}

// "N lines written to FILE": N.
long long ReportedLines(const std::string& out) {
    return out.empty() ? -1 : std::stoll(out);
}

TEST(LogFaults, QmtctlDiskFullAndFreedAgain) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    }
    Scenario scenario;
    const SmallDisk disk(scenario.Path("disk"));
    ASSERT_TRUE(disk.Mounted());
    const QString log = scenario.Path("disk/run.csv");
    scenario.Start(Program::Qmtctl, ConstantBoard + QStringList{"log", log, "--interval", "10"});
    ASSERT_TRUE(WaitForLines(scenario, log, LinesBeforeFault));
    disk.Fill();
    ASSERT_TRUE(scenario.WaitForError("qmtctl: log write failed: No space left on device"));
    ASSERT_TRUE(WaitForRequests(scenario, RequestsDuringFault));
    disk.Free();
    ASSERT_TRUE(scenario.WaitForError("qmtctl: log writing resumed"));
    const std::size_t resumedAt = DataLines(log);
    ASSERT_TRUE(WaitForLines(scenario, log, resumedAt + LinesAfterRecovery));
    scenario.Signal(SIGINT);
    const Outcome outcome = scenario.Finish();

    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, LogLinesLostStatus) << outcome.err;
    const LogContents contents = ReadLogFile(log, Readings);
    EXPECT_TRUE(contents.endsWhole);
    EXPECT_EQ(contents.strayLines, std::vector<std::string>{});
    EXPECT_EQ(ReportedLines(outcome.out), static_cast<long long>(contents.times.size()))
        << outcome.out;
    EXPECT_GT(MissingSteps(contents.times, IntervalSeconds), 0);
}

// The log's folder is moved away (the lines so far go with it) and made
// again: the lines written before are all in the moved file, the later ones
// in the new one, and qmtctl's count is their sum.
TEST(LogFaults, QmtctlFolderGoneAndBack) {
    Scenario scenario;
    QDir(scenario.Path({})).mkpath("logs");
    const QString log = scenario.Path("logs/run.csv");
    const QString moved = scenario.Path("moved/run.csv");
    scenario.Start(Program::Qmtctl, ConstantBoard + QStringList{"log", log, "--interval", "10"});
    ASSERT_TRUE(WaitForLines(scenario, log, LinesBeforeFault));
    ASSERT_TRUE(QDir().rename(scenario.Path("logs"), scenario.Path("moved")));
    ASSERT_TRUE(scenario.WaitForError("qmtctl: log write failed: No such file or directory"));
    ASSERT_TRUE(QDir().mkpath(scenario.Path("logs")));
    ASSERT_TRUE(scenario.WaitForError("qmtctl: log writing resumed"));
    ASSERT_TRUE(WaitForLines(scenario, log, LinesAfterRecovery));
    scenario.Signal(SIGINT);
    const Outcome outcome = scenario.Finish();

    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, LogLinesLostStatus) << outcome.err;
    const LogContents before = ReadLogFile(moved, Readings);
    const LogContents after = ReadLogFile(log, Readings);
    EXPECT_EQ(before.runs, 1);
    EXPECT_EQ(MissingSteps(before.times, IntervalSeconds), 0);
    EXPECT_EQ(MissingSteps(after.times, IntervalSeconds), 0);
    EXPECT_TRUE(before.endsWhole && after.endsWhole);
    EXPECT_EQ(before.strayLines.size() + after.strayLines.size(), 0u);
    ASSERT_FALSE(before.times.empty() || after.times.empty());
    EXPECT_GT(after.times.front() - before.times.back(), 1.5 * IntervalSeconds);
    EXPECT_EQ(ReportedLines(outcome.out),
              static_cast<long long>(before.times.size() + after.times.size()))
        << outcome.out;
}

// A log target that refuses every byte: nothing is reported written, the
// run ends at once with the reason.
TEST(LogFaults, QmtctlDeviceFull) {
    const Outcome outcome = Scenario().Run(
        Program::Qmtctl, ConstantBoard + QStringList{"log", "/dev/full", "--count", "3"});
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, LogLinesLostStatus);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "qmtctl: cannot write log file '/dev/full': No space left on device\n");
}

// The same in the program, logging at 10 ms with every window open: the
// run goes on through the fault, and ends at SIGTERM as usual.
TEST(LogFaults, QmtevalFolderGoneAndBack) {
    Scenario scenario;
    QDir(scenario.Path({})).mkpath("logs");
    const QString log = scenario.Path("logs/run.csv");
    const QString moved = scenario.Path("moved/run.csv");
    scenario.SetUserActions({"mnuLimits", "mnuRegMap", "chkContRead", "mnuLog", "txtLogInt=10",
                             "cmdLogData", "fileNameEdit=" + log});
    scenario.Start(Program::Qmteval, ConstantBoard);
    ASSERT_TRUE(WaitForLines(scenario, log, LinesBeforeFault));
    ASSERT_TRUE(QDir().rename(scenario.Path("logs"), scenario.Path("moved")));
    ASSERT_TRUE(WaitForRequests(scenario, RequestsDuringFault));
    ASSERT_TRUE(QDir().mkpath(scenario.Path("logs")));
    ASSERT_TRUE(WaitForLines(scenario, log, LinesAfterRecovery));
    scenario.Signal(SIGTERM);
    const Outcome outcome = scenario.Finish();

    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.messages, std::vector<Message>{});
    const LogContents before = ReadLogFile(moved, Readings);
    const LogContents after = ReadLogFile(log, Readings);
    EXPECT_EQ(MissingSteps(before.times, IntervalSeconds), 0);
    EXPECT_EQ(MissingSteps(after.times, IntervalSeconds), 0);
    EXPECT_TRUE(before.endsWhole && after.endsWhole);
    EXPECT_EQ(before.strayLines.size() + after.strayLines.size(), 0u);
    ASSERT_FALSE(before.times.empty() || after.times.empty());
    EXPECT_GT(after.times.front() - before.times.back(), 1.5 * IntervalSeconds);
}

} // namespace

} // namespace qmt::scenario
