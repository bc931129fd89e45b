#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
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

TEST_F(QmtctlWithState, DiffExitsZeroOneOrTwoAsDiffDoes) {
    Outcome run = Run({"save", Path("a.sav")});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Run({"diff", Path("a.sav")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");

    EXPECT_EQ(Run({"write", "0x0B", "0x20"}).status, 0);
    run = Run({"diff", Path("a.sav")});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "5h/Bh Local Temp High Limit: chip 20H, file 55H, bits 6, 5, 4, 2, 0\n");
    EXPECT_EQ(run.err, "");
    run = Run({"diff", "--json", Path("a.sav")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.starts_with("{\"complete\":true,\"differs\":true,")) << run.out;

    run = Run({"diff"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "qmtctl: diff needs FILE\n");
    run = Run({"diff", Path("none.sav")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.starts_with("qmtctl: cannot read ")) << run.err;
}

// "i2cset -y BUS 0xADDR 0xPOINTER 0xVALUE b # name" -> name, value.
std::map<std::string, int> ScriptValues(const std::string& script, int& lines) {
    std::map<std::string, int> values;
    lines = 0;
    std::istringstream text(script);
    for (std::string line; std::getline(text, line);) {
        if (!line.starts_with("i2cset ")) {
            continue;
        }
        ++lines;
        const auto name = line.find(" b # ");
        values[line.substr(name + 5)] = std::stoi(line.substr(name - 4, 4), nullptr, 16);
    }
    return values;
}

// "Bh 55H 85 Local Temp High Limit" -> name, value.
std::map<std::string, int> DumpValues(const std::string& dump) {
    std::map<std::string, int> values;
    std::istringstream text(dump);
    for (std::string line; std::getline(text, line);) {
        std::istringstream fields(line);
        std::string pointer, hex, name;
        int value = 0;
        fields >> pointer >> hex >> value;
        std::getline(fields >> std::ws, name);
        values[name] = value;
    }
    return values;
}

TEST_F(QmtctlWithState, TheExportedScriptHoldsWhatDumpShowsAndRestoresTheChip) {
    const Outcome script = Run({"export", "--format", "i2cset"});
    ASSERT_EQ(script.status, 0) << script.err;
    EXPECT_TRUE(script.out.starts_with("#!/bin/sh\n# QMT6171/2/3 register settings for the chip "
                                       "at 0x4C on I2C bus 1\n"))
        << script.out;
    int lines = 0;
    const auto exported = ScriptValues(script.out, lines);
    const auto dumped = DumpValues(Run({"dump"}).out);
    EXPECT_EQ(lines, 29); // the save walk but Die Revision Code, which has no write pointer
    for (const auto& [name, value] : exported) {
        ASSERT_TRUE(dumped.contains(name)) << name;
        EXPECT_EQ(value, dumped.at(name)) << name;
    }

    // Change the chip, run the script with an i2cset that records its
    // arguments, and write what it recorded back through one recall.
    const std::string before = Settings();
    EXPECT_EQ(Run({"write", "0x0B", "0x20"}).status, 0);
    EXPECT_EQ(Run({"write", "0x20", "0x50"}).status, 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("bin"));
    std::ofstream(Path("bin/i2cset").toStdString())
        << "#!/bin/sh\necho \"$*\" >> \"$I2CSET_LOG\"\n";
    QFile::setPermissions(Path("bin/i2cset"), QFile::ReadOwner | QFile::ExeOwner);
    std::ofstream(Path("settings.sh").toStdString()) << script.out;
    QProcess shell;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", Path("bin") + ":" + environment.value("PATH"));
    environment.insert("I2CSET_LOG", Path("calls.txt"));
    shell.setProcessEnvironment(environment);
    shell.start("sh", {Path("settings.sh")});
    ASSERT_TRUE(shell.waitForFinished(30000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    std::ifstream calls(Path("calls.txt").toStdString());
    std::ofstream recorded(Path("recorded.sav").toStdString());
    recorded << "{\n";
    int count = 0;
    for (std::string call; std::getline(calls, call); ++count) {
        std::istringstream fields(call);
        std::string y, bus, address, pointer, value, mode;
        fields >> y >> bus >> address >> pointer >> value >> mode;
        EXPECT_EQ(y + bus + address + mode, "-y10x4Cb") << call;
        recorded << pointer << '\t' << value << '\n';
    }
    recorded << "}\n";
    recorded.close();
    EXPECT_EQ(count, 29);
    EXPECT_EQ(Run({"recall", Path("recorded.sav")}).out, "29 registers written\n");
    EXPECT_EQ(Settings(), before);
}

} // namespace
