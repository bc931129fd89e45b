#include "scenarios/scenario.h"

#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>
#include <utility>

namespace qmt::scenario {

namespace {

const std::string FirmwareMessage = "Firmware failed to download - Check USB connections";
const std::string ConnectionMessage = "Initial Connection Failed - Check USB connections";
constexpr int LinkFailureStatus = 3;

// A line of hexadecimal pairs whose byte count does not match its length.
const QByteArray MalformedFirmware = ":10000000AABB\n:00000001FF\n";

struct StartupFault {
    const char* name;
    // Run a copy of the program with this firmware file beside it ("" for none).
    std::optional<QByteArray> firmware;
    QStringList arguments;
    std::string message;
    // A line that names the cause on standard error.
    std::string cause;
};

std::ostream& operator<<(std::ostream& out, const StartupFault& fault) {
    return out << fault.name;
}

QStringList Board(const char* name) {
    return {"--board", BoardFile(name)};
}

const StartupFault Faults[] = {
    {"FirmwareMissing",
     QByteArray(),
     {},
     FirmwareMessage,
     "Tarnlink: firmware rejected: cannot read "},
    {"FirmwareMalformed",
     MalformedFirmware,
     {},
     FirmwareMessage,
     "HLX3300FW.Hex: line 1: byte count does not match the record's length"},
    {"FirmwareFailing", std::nullopt, Board("firmware_fails.board"), FirmwareMessage,
     "Tarnlink: the board refuses the firmware (firmware = fail)"},
    {"BoardFileRejected", std::nullopt, Board("bad_line.board"), FirmwareMessage,
     "bad_line.board: line 3: unknown key 'speed'"},
    {"BridgeLibraryMissing",
     std::nullopt,
     {"--bridge", "tarnlink:/nonexistent/libTarnlink.so"},
     FirmwareMessage,
     "cannot load /nonexistent/libTarnlink.so: "},
    {"NeverConnects", std::nullopt, Board("never_connects.board"), ConnectionMessage, ""},
    {"NoChipInTheSearch", std::nullopt, Board("no_chip_in_search.board"), ConnectionMessage, ""},
};

class StartupFaults : public ::testing::TestWithParam<StartupFault> {
protected:
    Outcome RunFaulty(Program program, QStringList arguments) {
        const StartupFault& fault = GetParam();
        if (fault.firmware) {
            scenario.UsePrivateCopy(program, fault.firmware->isEmpty()
                                                 ? std::nullopt
                                                 : std::optional<QByteArray>(*fault.firmware));
        }
        arguments = fault.arguments + arguments;
        return scenario.Run(program, arguments);
    }

    Scenario scenario;
};

// One message box with the failure's message, then the program ends with
// the link-failure status.
TEST_P(StartupFaults, QmtevalShowsOneMessageAndEnds) {
    const StartupFault& fault = GetParam();
    const Outcome outcome = RunFaulty(Program::Qmteval, {});
    ASSERT_TRUE(outcome.finished);
    EXPECT_TRUE(outcome.normalExit) << outcome.err;
    EXPECT_EQ(outcome.exitCode, LinkFailureStatus) << outcome.err;
    EXPECT_EQ(outcome.messages, (std::vector<Message>{{ProgramTitle(), fault.message}}));
    EXPECT_NE(outcome.err.find(fault.cause), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.out, "");
}

// The message on standard error as its last line, status 3, nothing on
// standard output; a bridge library that cannot be loaded is one line naming it.
TEST_P(StartupFaults, QmtctlPrintsTheMessageAndEnds) {
    const StartupFault& fault = GetParam();
    const Outcome outcome = RunFaulty(Program::Qmtctl, {"temps"});
    ASSERT_TRUE(outcome.finished);
    EXPECT_TRUE(outcome.normalExit) << outcome.err;
    EXPECT_EQ(outcome.exitCode, LinkFailureStatus) << outcome.err;
    if (std::string(fault.name) == "BridgeLibraryMissing") {
        EXPECT_TRUE(outcome.err.starts_with("qmtctl: " + fault.cause)) << outcome.err;
        EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
    } else {
        EXPECT_TRUE(outcome.err.ends_with("\n" + fault.message + "\n") ||
                    outcome.err == fault.message + "\n")
            << outcome.err;
    }
    EXPECT_NE(outcome.err.find(fault.cause), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(outcome.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Scenario, StartupFaults, ::testing::ValuesIn(Faults),
                         [](const auto& test) { return std::string(test.param.name); });

// The firmware file's path must fit the bridge's 512-byte buffer; a longer
// one fails the download, and standard error says why.
TEST(FirmwarePath, LongerThanTheBufferIsNamed) {
    const QString deepFolder = QStringList(5, QString(110, QLatin1Char('d'))).join('/');
    for (const Program program : {Program::Qmteval, Program::Qmtctl}) {
        Scenario scenario;
        scenario.UsePrivateCopy(program, QByteArray(":00000001FF\n"), deepFolder);
        const Outcome outcome = scenario.Run(
            program, program == Program::Qmtctl ? QStringList{"detect"} : QStringList{});
        EXPECT_EQ(outcome.exitCode, LinkFailureStatus) << outcome.err;
        EXPECT_NE(outcome.err.find("the firmware path is longer than 512 characters: "),
                  std::string::npos)
            << outcome.err;
        if (program == Program::Qmteval) {
            EXPECT_EQ(outcome.messages, (std::vector<Message>{{ProgramTitle(), FirmwareMessage}}));
        } else {
            EXPECT_TRUE(outcome.err.ends_with("\n" + FirmwareMessage + "\n")) << outcome.err;
        }
    }
}

// A FIFO in place of the board file or the firmware file that nobody writes
// to reads as empty instead of blocking the start for good: the default
// board, and a firmware file without its end record.
TEST(FifoInPlaceOfAFile, DoesNotBlock) {
    for (const Program program : {Program::Qmteval, Program::Qmtctl}) {
        const QStringList command =
            program == Program::Qmtctl ? QStringList{"detect"} : QStringList{};
        Scenario board;
        const QString fifo = board.Path("board.fifo");
        ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        board.Start(program, QStringList{"--board", fifo} + command);
        if (program == Program::Qmteval) {
            EXPECT_TRUE(board.WaitUntilMonitoring());
            board.Signal(SIGTERM);
        }
        const Outcome withBoard = board.Finish();
        ASSERT_TRUE(withBoard.finished);
        EXPECT_EQ(withBoard.exitCode, 0) << withBoard.err;
        EXPECT_TRUE(withBoard.messages.empty());

        Scenario firmware;
        firmware.UsePrivateCopy(program, std::nullopt);
        const QString hex = firmware.Path("program/HLX3300FW.Hex");
        ASSERT_EQ(::mkfifo(hex.toLocal8Bit().constData(), 0600), 0);
        const Outcome withFirmware = firmware.Run(program, command);
        ASSERT_TRUE(withFirmware.finished);
        EXPECT_EQ(withFirmware.exitCode, LinkFailureStatus) << withFirmware.err;
        EXPECT_NE(withFirmware.err.find("HLX3300FW.Hex: line 0: no end-of-file record"),
                  std::string::npos)
            << withFirmware.err;
    }
}

// A failed start stores the placement on its way out, too; a FIFO in the
// placement file's place must not hold it there.
TEST(FailedStart, EndsWithAFifoForPlacementFile) {
    Scenario scenario;
    ASSERT_EQ(::mkfifo(scenario.SettingsFile().toLocal8Bit().constData(), 0600), 0);
    const Outcome outcome =
        scenario.Run(Program::Qmteval, {"--board", BoardFile("firmware_fails.board")});
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, LinkFailureStatus) << outcome.err;
    EXPECT_EQ(outcome.messages, (std::vector<Message>{{ProgramTitle(), FirmwareMessage}}));
}

// An I2C device file that cannot be opened: the connection's message, and
// under it (a logged line break) the device file and why.
TEST(FailedStart, AnI2cDeviceThatCannotBeOpenedIsNamedInTheMessage) {
    Scenario scenario;
    const Outcome outcome = scenario.Run(Program::Qmteval, {"--bridge", "i2c:/nonexistent/i2c-9"});
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, LinkFailureStatus) << outcome.err;
    const std::string reason = "cannot open /nonexistent/i2c-9: No such file or directory "
                               "(is the i2c-dev module loaded?)";
    EXPECT_EQ(outcome.messages,
              (std::vector<Message>{{ProgramTitle(), ConnectionMessage + "\\n" + reason}}));
}

// A command line qmteval cannot use: one line, status 2, no window and no
// placement written.
TEST(UsageError, OneLineAndNothingElse) {
    const std::pair<QStringList, std::string> cases[] = {
        {{"--frobnicate"}, "qmteval: Unknown option 'frobnicate'.\n"},
        {{"extra"}, "qmteval: unexpected argument 'extra'\n"},
        {{"--bridge", "nonsense"},
         "qmteval: unknown bridge 'nonsense' (use tarnlink, tarnlink:PATH or i2c:/dev/i2c-N)\n"},
    };
    for (const auto& [arguments, line] : cases) {
        Scenario scenario;
        const Outcome outcome = scenario.Run(Program::Qmteval, arguments);
        EXPECT_EQ(outcome.exitCode, 2) << line;
        EXPECT_EQ(outcome.err, line);
        EXPECT_TRUE(outcome.messages.empty());
        EXPECT_TRUE(scenario.Trace().empty()) << line;
        EXPECT_FALSE(QFile::exists(scenario.SettingsFile())) << line;
    }
}

// Help, version and a usage error are answered from a console without a
// display, where opening the window system would abort the program.
TEST(UsageError, HelpAndVersionNeedNoDisplay) {
    const std::tuple<QStringList, int, std::string> cases[] = {
        {{"--help"}, 0, "--bridge <BRIDGE>"},
        {{"--version"}, 0, "qmteval 2."},
        {{"--frobnicate"}, 2, ""},
    };
    for (const auto& [arguments, status, text] : cases) {
        Scenario scenario;
        scenario.WithoutDisplay();
        const Outcome outcome = scenario.Run(Program::Qmteval, arguments);
        EXPECT_EQ(outcome.exitCode, status) << outcome.err;
        EXPECT_NE(outcome.out.find(text), std::string::npos) << outcome.out;
        EXPECT_TRUE(scenario.Trace().empty());
    }
}

// Two chips: the search takes the lower address, and the program works with it.
TEST(TwoChips, TheLowerAddressIsTaken) {
    Scenario scenario;
    const QStringList board{"--board", BoardFile("two_chips.board")};
    scenario.Start(Program::Qmteval, board);
    ASSERT_TRUE(scenario.WaitUntilMonitoring());
    for (const auto& line : scenario.Trace()) {
        const auto fields = TraceFields(line);
        // After the search every request goes to 2Ah (42).
        if (fields.size() >= 3 && fields[0] == 222 && fields[2] != 254) {
            EXPECT_EQ(fields[1], 0x2A) << line;
        }
    }
    scenario.Signal(SIGTERM);
    const Outcome qmteval = scenario.Finish();
    EXPECT_EQ(qmteval.exitCode, 0) << qmteval.err;
    EXPECT_TRUE(qmteval.messages.empty());

    const Outcome qmtctl = Scenario().Run(Program::Qmtctl, board + QStringList{"detect"});
    EXPECT_EQ(qmtctl.exitCode, 0) << qmtctl.err;
    EXPECT_EQ(qmtctl.out, "Found an QMT6171/2/3 at 2Ah\n");
}

// --address picks the other chip: every request after the connection goes to it.
TEST(TwoChips, AGivenAddressIsTaken) {
    Scenario scenario;
    scenario.Start(Program::Qmteval, {"--board", BoardFile("two_chips.board"), "--address", "4Dh"});
    ASSERT_TRUE(scenario.WaitUntilMonitoring());
    int requests = 0;
    for (const auto& line : scenario.Trace()) {
        const auto fields = TraceFields(line);
        if (fields.size() >= 3 && fields[0] == 222) {
            EXPECT_EQ(fields[1], 0x4D) << line;
            ++requests;
        }
    }
    EXPECT_GT(requests, 0);
    scenario.Signal(SIGTERM);
    const Outcome qmteval = scenario.Finish();
    EXPECT_EQ(qmteval.exitCode, 0) << qmteval.err;
    EXPECT_TRUE(qmteval.messages.empty());

    const Outcome bad = Scenario().Run(Program::Qmteval, {"--address", "0x80"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.err, "qmteval: bad address '0x80' (0 to 0x7F)\n");
}

} // namespace

} // namespace qmt::scenario
