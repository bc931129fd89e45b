#include "scenarios/scenario.h"

#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <utility>

// Settings files edited by hand and damaged in every way the recall meets,
// recalled by the program through its Save/Recall window and by qmtctl
// recall, each a real process against the emulated board: a sound file writes
// exactly its lines, in file order with Configuration Reg 2 last; a damaged
// one writes nothing at all.
namespace qmt::scenario {

namespace {

using Write = std::pair<long long, long long>; // pointer, value

constexpr long long ChipAddress = 0x4C;
constexpr long long MarkerPointer = 0xAB; // read by nothing but the marker step
constexpr int CommandFailedStatus = 1;

// Edited by hand but sound: CR LF and LF line ends, a blank line, a comment
// line, a tab, a one-digit value at a line end, Configuration Reg 2 early,
// lines after the "}".
const QByteArray HandEdited = "Bench 3, edited by hand\r\n"
                              "{ registers\r\n"
                              "0x09 0x04\r\n"
                              "\r\n"
                              "0x24\t0x80 // lock\r\n"
                              "// limits\r\n"
                              "0x0b\t0x46\r\n"
                              "0x0d 0x5\n"
                              "}\r\n"
                              "0x0a 0x07\r\n";
const std::vector<Write> HandEditedWrites{{0x09, 0x04}, {0x0B, 0x46}, {0x0D, 0x05}, {0x24, 0x80}};

// Closed by its "}", but line 7 holds a value that is no number.
const QByteArray DamagedButClosed = QByteArray("Bench 3, edited by hand\r\n"
                                               "{ registers\r\n"
                                               "0x09 0x04\r\n"
                                               "\r\n"
                                               "0x0b\t0x46\r\n"
                                               "0x0d 0x5\n"
                                               "0x0e 0xZZ\r\n"
                                               "junk") +
                                    QByteArray("\0\xfe x21 and x3 \r\n", 17) +
                                    QByteArray("0x20 0x 1\r\n"
                                               "}\r\n");

// Cut off in the middle of a value.
const QByteArray CutShort = "{\r\n0x09 0x04\r\n0x0b 0x4";

// 3,000 random bytes, a "{" and a sound line among them.
QByteArray RandomBytes() {
    std::mt19937 random(3000);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes(3000, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(byte(random));
    }
    bytes.replace(1500, 12, "\n{\n0x00 0x5\n");
    return bytes;
}

// The register writes of the trace, in order.
std::vector<Write> TracedWrites(const std::vector<std::string>& trace) {
    std::vector<Write> writes;
    for (const std::string& line : trace) {
        const auto f = TraceFields(line);
        if (f.size() >= 5 && f[0] == 222 && f[1] == ChipAddress && f[3] == 0 && f[4] == 0) {
            writes.emplace_back(f[2] & 0xFF, f[2] >> 8);
        }
    }
    return writes;
}

bool IsMarkerRead(const std::string& line) {
    const auto f = TraceFields(line);
    return f.size() >= 5 && f[0] == 222 && f[2] == MarkerPointer && f[3] == 1;
}

// Recalls the file through the window, then reads the marker register
// through the register map: once that read is traced, the recall is over.
std::vector<Write> RecallInProgram(const QByteArray& content) {
    Scenario scenario;
    const QString file = scenario.WriteFile("bench.sav", content);
    scenario.SetUserActions({"mnuSave", "cmdRecall", "fileNameEdit=" + file, "mnuRegMap",
                             QStringLiteral("txtReadAddr=%1").arg(MarkerPointer, 0, 16)});
    scenario.Start(Program::Qmteval, {});
    const bool over = scenario.WaitForTrace(IsMarkerRead);
    scenario.Signal(SIGTERM);
    const Outcome outcome = scenario.Finish();
    EXPECT_TRUE(over) << outcome.err;
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.messages, std::vector<Message>{});
    return TracedWrites(scenario.Trace());
}

struct CliRecall {
    Outcome outcome;
    std::vector<Write> writes;
};

CliRecall RecallInQmtctl(const QByteArray& content) {
    Scenario scenario;
    const QString file = scenario.WriteFile("bench.sav", content);
    Outcome outcome = scenario.Run(Program::Qmtctl, {"recall", file});
    return {outcome, TracedWrites(scenario.Trace())};
}

TEST(RecallDamage, AHandEditedFileWritesItsLinesWithTheLockLast) {
    EXPECT_EQ(RecallInProgram(HandEdited), HandEditedWrites);
    const CliRecall cli = RecallInQmtctl(HandEdited);
    EXPECT_EQ(cli.outcome.exitCode, 0) << cli.outcome.err;
    EXPECT_EQ(cli.outcome.out, "4 registers written\n");
    EXPECT_EQ(cli.writes, HandEditedWrites);
}

TEST(RecallDamage, ADamagedFileWritesNothingAndNamesTheLine) {
    for (const auto& [content, reason] :
         {std::pair<QByteArray, std::string>{DamagedButClosed, "line 7 is no register line"},
          {CutShort, "ends before \"}\" (line 3)"},
          {RandomBytes(), "bench.sav "}}) {
        EXPECT_EQ(RecallInProgram(content), std::vector<Write>{}) << reason;
        const CliRecall cli = RecallInQmtctl(content);
        EXPECT_EQ(cli.outcome.exitCode, CommandFailedStatus);
        EXPECT_EQ(cli.outcome.out, "");
        EXPECT_TRUE(cli.outcome.err.starts_with("qmtctl: Recall failed, ")) << cli.outcome.err;
        EXPECT_NE(cli.outcome.err.find(reason), std::string::npos) << cli.outcome.err;
        EXPECT_TRUE(cli.outcome.err.ends_with(": no register written\n")) << cli.outcome.err;
        EXPECT_EQ(cli.writes, std::vector<Write>{}) << reason;
    }
}

TEST(RecallDamage, NoBlockWritesNothing) {
    for (const QByteArray& content : {QByteArray(), QByteArray("0x09 0x04\r\n0x0b 0x46\r\n")}) {
        EXPECT_EQ(RecallInProgram(content), std::vector<Write>{});
        const CliRecall cli = RecallInQmtctl(content);
        EXPECT_EQ(cli.outcome.exitCode, CommandFailedStatus);
        EXPECT_EQ(cli.outcome.out, "");
        EXPECT_NE(cli.outcome.err.find("has no \"{\": no register written"), std::string::npos)
            << cli.outcome.err;
        EXPECT_EQ(cli.writes, std::vector<Write>{});
    }
}

// Things that are no settings file at all: each ends the run with its
// reason. A FIFO nobody writes to reads as empty (it once hung the run).
TEST(RecallDamage, NoFileToRead) {
    Scenario scenario;
    const QString fifo = scenario.Path("pipe.sav");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const Outcome fromFifo = Scenario().Run(Program::Qmtctl, {"recall", fifo});
    ASSERT_TRUE(fromFifo.finished);
    EXPECT_EQ(fromFifo.exitCode, CommandFailedStatus);
    EXPECT_NE(fromFifo.err.find("has no \"{\""), std::string::npos) << fromFifo.err;
    for (const QString& path :
         {scenario.Path("config"), QStringLiteral("/dev/zero"), scenario.Path("missing.sav")}) {
        const Outcome outcome = Scenario().Run(Program::Qmtctl, {"recall", path});
        ASSERT_TRUE(outcome.finished) << path.toStdString();
        EXPECT_EQ(outcome.exitCode, CommandFailedStatus) << path.toStdString();
        EXPECT_TRUE(outcome.err.starts_with("qmtctl: Recall failed, cannot read ")) << outcome.err;
    }
}

} // namespace

} // namespace qmt::scenario
