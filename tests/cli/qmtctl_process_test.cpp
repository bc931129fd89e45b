// The built qmtctl as a program against the emulated board: the wiring that
// in-process tests cannot see (exit statuses, stderr, signals, state across runs).
#include "cli/qmtctl_process.h"
#include "support/test_paths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

using Outcome = qmt::test::QmtctlOutcome;

// qmtctl on a board file of its own; `state` keeps the chip's settings
// between runs so that one run sees what the last one wrote.
class Qmtctl : public ::testing::Test {
protected:
    void Board(const std::string& text) { std::ofstream(board.toStdString()) << text; }
    Outcome Run(const QStringList& arguments) {
        return qmt::test::RunQmtctlOnBoard(board, arguments);
    }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }

    QTemporaryDir dir;
    QString board = dir.filePath("board.txt");
};

// While the remote pointers show Remote 2 there is no Remote 1 reading to
// name (the log's bytes are cli_log_test's); and a given address must hold a chip before anything
// is claimed.
TEST_F(Qmtctl, ReadsAndLogsOnlyTheChannelsShownAndChecksAGivenAddress) {
    Board("address = 0x2A\nreg.0x03 = 0x08\nlocal = 25\nremote2 = 28.5\n");
    Outcome run = Run({"--verbose", "--json", "read", "0xFE", "3h"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "[{\"pointer\":254,\"value\":65},{\"pointer\":3,\"value\":8}]\n");
    EXPECT_EQ(run.err, "Downloading Firmware...\nFirmware download succesful\nEnumerating...\n"
                       "Connecting...\nSearching for QMT6171/2/3 on USB...\n"
                       "Found an QMT6171/2/3 at 2Ah\n");
    EXPECT_EQ(Run({"temps"}).out, "Local 25\nRemote2 28.5\n");

    run = Run({"--address", "0x10", "temps"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "qmtctl: no QMT6171/2/3 answers at 10h\n"
                       "Initial Connection Failed - Check USB connections\n");
    EXPECT_EQ(Run({"detect", "--address", "0x2A"}).out, "Found an QMT6171/2/3 at 2Ah\n");
}

// On the emulated chip: a locked chip ignores a limit write, and the shared
// pointers' rows and an open diode are shown for what they are.
TEST_F(Qmtctl, TellsALockedWriteTheSelectedChannelAndAnOpenDiode) {
    Board("reg.0x24 = 0x80\nreg.0x03 = 0x08\nlocal = 25\nremote2 = open\n");
    Outcome run = Run({"write", "0x0B", "0x30"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Bh 55H 85\n");
    EXPECT_EQ(run.err, "qmtctl: not written: the chip is locked (bit 7 of Configuration Reg 2)\n");
    EXPECT_EQ(Run({"write", "9", "300"}).status, 2);

    run = Run({"dump"});
    EXPECT_TRUE(run.out.starts_with("# shared remote registers show Remote 2")) << run.out;
    EXPECT_EQ(run.out.find("Remote 1"), std::string::npos) << run.out;
    EXPECT_EQ(Run({"temps"}).out, "Local 25\nRemote2 open\n");
}

TEST_F(Qmtctl, LogEndsOnSigtermWithWholeLines) {
    const auto log = dir.filePath("run.csv");
    QProcess process;
    process.setReadChannel(QProcess::StandardError);
    process.start(qmt::test::paths::Qmtctl, {"--verbose", "log", log, "--interval", "0"});
    // The first progress line says the run is under way.
    std::string err;
    while (err.find("line 1 at 0 s\n") == std::string::npos) {
        ASSERT_TRUE(process.waitForReadyRead(60000)) << err;
        err += process.readAllStandardError().toStdString();
    }
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto bytes = file.readAll();
    EXPECT_TRUE(bytes.endsWith(",\r\n"));
    const auto lines = bytes.count("\r\n") - 4;
    EXPECT_EQ(process.readAllStandardOutput().toStdString(),
              std::to_string(lines) + (lines == 1 ? " line" : " lines") + " written to " +
                  log.toStdString() + "\n");
}

// What one run writes the next one sees; the statuses are those of the
// manual page: 1 for a failed command, 2 for a diff that cannot compare.
TEST_F(Qmtctl, SaveWriteRecallAndDiffAcrossRuns) {
    Board("local = 25\nremote1 = 30\nremote2 = 28\nstate = chip.state\n");
    const QString saved = dir.filePath("a.sav");
    Outcome run = Run({"save", saved, "--comment", "before"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "30 registers saved\n");
    EXPECT_EQ(Run({"diff", saved}).status, 0);

    EXPECT_EQ(Run({"write", "0x0B", "0x20"}).status, 0);
    run = Run({"diff", saved});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.out.find("5h/Bh Local Temp High Limit: chip 20H, file 55H, bits 6, 5, 4, 2, 0\n"),
              std::string::npos)
        << run.out;
    run = Run({"recall", saved});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "30 registers written\n");
    EXPECT_EQ(Run({"diff", saved}).status, 0);

    // Cut inside the block: nothing written, the line where it ends named,
    // and diff refuses it as trouble.
    std::ofstream(Path("cut.sav")) << "{\r\n0x0B\t0x20\r\n0x0C\t0x1";
    run = Run({"recall", dir.filePath("cut.sav")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "qmtctl: Recall failed, " + Path("cut.sav") +
                           " ends before \"}\" (line 3): no register written\n");
    EXPECT_EQ(Run({"diff", saved}).status, 0);
    run = Run({"diff", dir.filePath("cut.sav")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "qmtctl: " + Path("cut.sav") + " ends before \"}\" (line 3): not compared\n");
    run = Run({"save", dir.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("qmtctl: Save failed, nothing written to ")) << run.err;
    run = Run({"diff", dir.filePath("none.sav")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.starts_with("qmtctl: cannot read ")) << run.err;
}

// Ten reads from standard input pay for one connection: the board's trace
// holds one firmware download and one connect. The board is unplugged after
// the search and ten reads, so the line after them ends the batch.
TEST_F(Qmtctl, ABatchRunsItsLinesOverOneConnection) {
    Board("local = 25\nremote1 = 30\nfail_after = " + std::to_string(53 + 10) + "\n");
    const QString trace = dir.filePath("trace.txt");
    QProcess process;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TARNLINK_TRACE", trace);
    process.setProcessEnvironment(environment);
    process.start(qmt::test::paths::Qmtctl, {"--board", board, "batch"});
    process.write("# ten registers\nread 0\nread 1\nread 3\nread 4\nread 5\nread 6\nread 7\n"
                  "read 8\nread 0xFE\nread 0xFF\nwrite 0x0B\ntemps\nread 0\n");
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 3);
    EXPECT_EQ(process.readAllStandardOutput().toStdString(),
              "0h 19H 25\n1h 1EH 30\n3h 0H 0\n4h 8H 8\n5h 55H 85\n6h 0H 0\n7h 55H 85\n8h 0H 0\n"
              "FEh 41H 65\nFFh 52H 82\n");
    EXPECT_EQ(process.readAllStandardError().toStdString(),
              "qmtctl: line 12: write needs REG VALUE\n"
              "Communications Interrupted - Check USB connections\n"
              "qmtctl: line 13: the link failed; no further line is run\n");
    std::ifstream lines(trace.toStdString());
    std::map<std::string, int> requests;
    for (std::string request, rest; lines >> request && std::getline(lines, rest);) {
        ++requests[request];
    }
    // The search's reads from 18h to 4Ch, the ten, and the one that failed.
    EXPECT_EQ(requests, (std::map<std::string, int>{{"fw", 1}, {"221", 1}, {"222", 53 + 10 + 1}}));
}

// Output that cannot be written is a failure, said in one line.
TEST_F(Qmtctl, AFullStandardOutputFailsTheCommand) {
    Board("local = 25\nremote1 = 30\nremote2 = 28\nstate = chip.state\n");
    const QString saved = dir.filePath("a.sav");
    ASSERT_EQ(Run({"save", saved}).status, 0);
    for (const QStringList& command :
         {QStringList{"export", "--format", "i2cset"}, QStringList{"dump"}, QStringList{"temps"},
          QStringList{"read", "0xFE"}, QStringList{"--json", "diff", saved},
          QStringList{"recall", saved}, QStringList{"--help"}}) {
        QProcess process;
        process.setStandardOutputFile("/dev/full");
        process.start(qmt::test::paths::Qmtctl, QStringList{"--board", board} + command);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 1) << command.join(' ').toStdString();
        EXPECT_EQ(process.readAllStandardError().toStdString(),
                  "qmtctl: cannot write the standard output\n")
            << command.join(' ').toStdString();
    }
}

// The exported script, run through an i2cset that writes with qmtctl, leaves
// the chip as diff expects: each remote row in its own channel, the lock last.
// Every write is a run of its own, so the file is kept short.
TEST_F(Qmtctl, AnExportedScriptLeavesTheChipAsDiffExpects) {
    Board("state = chip.state\n");
    const QString file = dir.filePath("remotes.sav");
    std::ofstream(file.toStdString()) << "{\r\n0x9\t0x0\r\n0xD\t0x40\r\n0xD\t0x41\r\n"
                                         "0x24\t0x80\r\n}\r\n";
    // A name with a line break must not put a command into the script.
    const QString named = dir.filePath("a\nexit 9\n.sav");
    ASSERT_TRUE(QFile::copy(file, named));
    Outcome run = Run({"export", "--format", "i2cset", named});
    ASSERT_EQ(run.status, 0) << run.err;
    std::ofstream(Path("set.sh")) << run.out;

    ASSERT_TRUE(QDir(dir.path()).mkdir("bin"));
    const QString i2cset = dir.filePath("bin/i2cset");
    // i2cset -y BUS ADDRESS POINTER VALUE b
    std::ofstream(i2cset.toStdString())
        << "#!/bin/sh\nexec \"$QMTCTL\" --board \"$BOARD\" --address \"$3\" write \"$4\" \"$5\"\n";
    QFile::setPermissions(i2cset, QFile::permissions(i2cset) | QFile::ExeOwner);
    QProcess shell;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", dir.filePath("bin") + ":" + environment.value("PATH"));
    environment.insert("QMTCTL", qmt::test::paths::Qmtctl);
    environment.insert("BOARD", board);
    shell.setProcessEnvironment(environment);
    shell.start("sh", {dir.filePath("set.sh")});
    ASSERT_TRUE(shell.waitForFinished(120000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();

    run = Run({"diff", file});
    EXPECT_EQ(run.status, 0) << run.out;
}

} // namespace

// The alert check from the shell: the chip ends as a save made before it
// says, also when SIGINT stops it; a faulty chip and a lost link have the
// statuses of the manual page.
TEST_F(Qmtctl, CheckAlertsPassesFailsAndPutsTheChipBack) {
    Board("reg.0x03 = 0x08\nreg.0x07 = 0x50\nstate = chip.state\n");
    const QString saved = dir.filePath("before.sav");
    ASSERT_EQ(Run({"save", saved}).status, 0);
    Outcome run = Run({"check-alerts", "--json"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_TRUE(run.out.starts_with("{\"cancelled\":false,\"channels\":[{\"channel\":\"Local\","
                                    "\"high\":\"pass\",\"low\":\"pass\",\"mask\":\"pass\","
                                    "\"therm\":\"pass\"}"))
        << run.out;
    EXPECT_NE(run.out.find("\"passed\":true"), std::string::npos);
    EXPECT_EQ(Run({"diff", saved}).status, 0);

    QProcess process;
    process.setReadChannel(QProcess::StandardError);
    process.start(qmt::test::paths::Qmtctl,
                  {"--board", board, "--verbose", "check-alerts", "--json"});
    std::string err;
    while (err.find("3 of 24 steps done\n") == std::string::npos) {
        ASSERT_TRUE(process.waitForReadyRead(60000)) << err;
        err += process.readAllStandardError().toStdString();
    }
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    const std::string out = process.readAllStandardOutput().toStdString();
    EXPECT_NE(out.find("\"cancelled\":true"), std::string::npos) << out;
    EXPECT_NE(out.find("\"notRestored\":[]"), std::string::npos) << out;
    EXPECT_EQ(Run({"diff", saved}).status, 0);

    Board("mask_ignored = remote1\n");
    run = Run({"check-alerts"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Remote 1\tpass\tpass\tpass\tfail\n"), std::string::npos) << run.out;
    Board("fail_after = 100\n");
    run = Run({"check-alerts", "--address", "0x4C", "--json"});
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.out.find("\"linkLost\":true"), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "Communications Interrupted - Check USB connections\n"
                       "Communications Interrupted - Check USB connections\n");
}
