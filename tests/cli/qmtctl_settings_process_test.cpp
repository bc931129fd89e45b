#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// The built qmtctl on a board whose chip keeps its settings in a state file
// beside the board file, so that one run sees what the last one wrote.
class QmtctlWithState : public ::testing::Test {
protected:
    QmtctlWithState() {
        std::ofstream(board.toStdString())
            << "local = 25\nremote1 = 30\nremote2 = 28\nstate = chip.state\n";
    }
    Outcome Run(QStringList arguments) {
        arguments.prepend(board);
        arguments.prepend("--board");
        QProcess process;
        process.setWorkingDirectory(QDir::tempPath());
        process.start(QMT_QMTCTL_PATH, arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(), process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }
    // Every register but the status registers, whose busy bit follows the clock.
    std::string Settings() {
        const Outcome dump = Run({"dump"});
        EXPECT_EQ(dump.status, 0) << dump.err;
        std::string kept;
        std::istringstream lines(dump.out);
        for (std::string line; std::getline(lines, line);) {
            if (line.find("Status Reg") == std::string::npos) {
                kept += line + '\n';
            }
        }
        return kept;
    }
    QString Path(const char* name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    QString board = dir.filePath("board.txt");
};

TEST_F(QmtctlWithState, SaveWriteRecallRestoresTheChip) {
    const std::string before = Settings();
    Outcome run = Run({"save", Path("a.sav"), "--comment", "before"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "30 registers saved\n");

    EXPECT_EQ(Run({"write", "0x0B", "0x20"}).status, 0);
    EXPECT_EQ(Run({"write", "0x09", "0x08"}).status, 0);
    EXPECT_EQ(Run({"write", "0x0D", "0x40"}).status, 0); // Remote 2's high limit now
    EXPECT_NE(Settings(), before);
    // Configuration Reg 1, the local high limit, and Remote 2's high limit
    // three times: through both rows of the shared pointer and at 0x31.
    run = Run({"save", Path("changed.sav"), "--changed-only"});
    EXPECT_EQ(run.out, "5 registers saved\n") << run.err;

    run = Run({"recall", Path("a.sav")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "30 registers written\n");
    EXPECT_EQ(Settings(), before);
}

TEST_F(QmtctlWithState, AFileWithoutItsBlockFailsWithStatusOne) {
    std::ofstream(Path("bad.sav").toStdString()) << "Kestrivo\r\n0x0B\t0x20\r\n}\r\n";
    Outcome run = Run({"recall", Path("bad.sav")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "qmtctl: Recall failed, " + Path("bad.sav").toStdString() +
                           " has no \"{\": no register written\n");

    // Cut inside the block: what was written, then why it stopped.
    std::ofstream(Path("cut.sav").toStdString()) << "{\r\n0x0B\t0x20\r\n0x0C\t0x1";
    run = Run({"recall", Path("cut.sav")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "1 register written\n");
    EXPECT_EQ(run.err, "qmtctl: Recall stopped, " + Path("cut.sav").toStdString() +
                           " ends before \"}\": 1 register written\n");

    run = Run({"recall", Path("none.sav")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("qmtctl: Recall failed, cannot read ")) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);

    run = Run({"save", dir.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("qmtctl: Save failed, nothing written to ")) << run.err;
}

} // namespace
