#include "cli/cli_events.h"
#include "cli/cli_log.h"
#include "cli/cli_run.h"
#include "files/power_on_chip.h"
#include "link/temperature_reading.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace qmt::cli {
namespace {

const std::string AllHead = "\r\nQMT6171/3 Log File\r\n\r\n"
                            "Time ,Local(\xB0"
                            "C) ,Remote1(\xB0"
                            "C) ,Remote2(\xB0"
                            "C) ,\r\n";

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// A power-on chip reading 25, 30.25 and 28.5 in the normal range.
struct LogRig : test::PowerOnChip {
    LogRig() {
        auto& chip = this->chip();
        chip[0x00] = 25;
        chip[0x01] = 30;
        chip[0x10] = 0x40;
        chip[0x30] = 28;
        chip[0x33] = 0x80;
    }
    int Run(
        LogOptions run, const std::function<bool()>& stop = [] { return false; }) {
        run.file = path;
        out.str({});
        err.str({});
        return RunLog(run, access, clock, stop, out, err, nullptr);
    }
    QTemporaryDir dir;
    std::string path = dir.filePath("run.csv").toStdString();
    std::ostringstream out, err;
};

LogOptions Count(std::int64_t lines, std::int32_t intervalMs = 100) {
    LogOptions options;
    options.count = lines;
    options.intervalMs = intervalMs;
    return options;
}

TEST(CliLog, WritesTheProgramsRunOnItsOwnClock) {
    LogRig rig;
    EXPECT_EQ(rig.Run(Count(5)), ExitDone);
    EXPECT_EQ(rig.out.str(), "5 lines written to " + rig.path + "\n");
    std::string lines;
    for (const char* time : {"0", ".1", ".2", ".3", ".4"}) {
        lines += std::string(time) + ", 25, 30.25, 28.5,\r\n";
    }
    EXPECT_EQ(FileBytes(rig.path), AllHead + lines);
    // Each line after a fresh reading; the waits are the cycle's, a tick more than the interval.
    EXPECT_EQ(rig.bridge.Count(222), 1 + 5 * 5);
    EXPECT_EQ(rig.clock.ElapsedMs(), 4 * 110);

    // A second run appends; with the shared registers showing Remote 2 the
    // Remote1 column stays empty, as in the program's log.
    rig.chip()[0x03] = 0x0C; // Rm1/2 and the extended range
    rig.chip()[0x30] = 28 + 64;
    auto remote = Count(2, 250);
    remote.channels = {false, true, true};
    EXPECT_EQ(rig.Run(remote), ExitDone);
    EXPECT_TRUE(FileBytes(rig.path).ends_with("\r\nQMT6171/3 Log File\r\n\r\nTime ,Remote1(\xB0"
                                              "C) ,Remote2(\xB0"
                                              "C) ,\r\n"
                                              "0,, 28.5,\r\n.25,, 28.5,\r\n"));
}

TEST(CliLog, StopsBetweenLinesAndAfterTheDuration) {
    LogRig rig;
    LogOptions endless;
    endless.intervalMs = 1000;
    // A signal arriving during the second wait ends the run there.
    EXPECT_EQ(rig.Run(endless, [&] { return rig.clock.ElapsedMs() > 1500; }), ExitDone);
    EXPECT_EQ(rig.out.str(), "2 lines written to " + rig.path + "\n");
    EXPECT_LT(rig.clock.ElapsedMs(), 1600);

    LogOptions timed;
    timed.intervalMs = 0;
    timed.durationSeconds = 0.1;
    EXPECT_EQ(rig.Run(timed), ExitDone);
    EXPECT_EQ(rig.out.str(), "10 lines written to " + rig.path + "\n");
}

TEST(CliLog, FileAndLinkFailures) {
    LogRig rig;
    rig.path = "/dev/full";
    EXPECT_EQ(rig.Run(Count(3)), ExitLogFileError);
    EXPECT_EQ(rig.err.str(),
              "qmtctl: cannot write log file '/dev/full': No space left on device\n");
    EXPECT_EQ(rig.bridge.Count(222), 1); // only the configuration was read

    // The link lost during the third reading: two whole lines, flushed, then the failure.
    LogRig failing;
    failing.bridge.failAfterRequests = 1 + 2 * 5 + 2;
    EXPECT_THROW(failing.Run(Count(5)), link::LinkFailure);
    EXPECT_EQ(failing.out.str(), "2 lines written to " + failing.path + "\n");
    EXPECT_EQ(FileBytes(failing.path), AllHead + "0, 25, 30.25, 28.5,\r\n.1, 25, 30.25, 28.5,\r\n");
}

TEST(CliLog, EventsGoBesideTheLogWithTheLinesTimes) {
    LogRig rig;
    auto& chip = rig.chip();
    chip[0x07] = 30; // Remote1 high limit 30 °C, read at 30.25
    const std::string events = rig.dir.filePath("events.csv").toStdString();
    LogOptions run = Count(8);
    run.eventsFile = events;
    // The stub chip's status changes after the third line: Remote1 High set.
    int lines = 0;
    const auto stop = [&] {
        chip[0x02] = ++lines > 6 ? 0x10 : 0x00;
        return false;
    };
    EXPECT_EQ(rig.Run(run, stop), ExitDone);
    EXPECT_EQ(rig.out.str(),
              "8 lines written to " + rig.path + "\n1 event written to " + events + "\n");
    // Polled every 200 ms (every other line at 110 ms), the head's limits read once.
    EXPECT_EQ(rig.bridge.Count(220), 2 * 4);
    const std::string bytes = FileBytes(events);
    EXPECT_TRUE(bytes.starts_with("\r\nTime ,Bit ,State ,")) << bytes;
    EXPECT_TRUE(bytes.ends_with(",Remote1 High,set, 30.25, 30,,\r\n")) << bytes;

    // An event file that cannot be written stops the run before the log starts.
    run.eventsFile = "/dev/full";
    EXPECT_EQ(rig.Run(run), ExitLogFileError);
    EXPECT_EQ(rig.err.str(),
              "qmtctl: cannot write event file '/dev/full': No space left on device\n");
}

TEST(CliLog, EventsAreJudgedByTheNextLineAndTheLastOneIsKept) {
    LogRig rig;
    auto& chip = rig.chip();
    chip[0x07] = 31; // Remote1 high limit 31 °C, read at 30.25
    const std::string file = rig.dir.filePath("events.csv").toStdString();
    EventRecorder events(file, rig.access);
    ASSERT_TRUE(events.Start().ok);
    std::ostringstream err;
    const auto line = [&](std::int64_t ms, const std::string& time) {
        link::ReadTemperatures(rig.access);
        events.AfterLine(ms * 1000, time, err);
    };
    line(0, "0");
    chip[0x02] = 0x10; // Remote 1 passed 31 °C just after the reading
    line(200, ".2");
    EXPECT_EQ(events.Written(), 0); // waits for the next line's reading
    chip[0x01] = 31;                // 31.25
    line(300, ".3");
    chip[0x02] = 0x00; // the run ends right after this poll
    line(400, ".4");
    events.Finish(err);
    EXPECT_EQ(events.Written(), 2);
    EXPECT_TRUE(FileBytes(file).ends_with(".2,Remote1 High,set, 30.25, 31,,\r\n"
                                          ".4,Remote1 High,cleared, 31.25, 31,,\r\n"))
        << FileBytes(file);
    EXPECT_EQ(err.str(), "");
}

} // namespace
} // namespace qmt::cli
