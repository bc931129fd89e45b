#include "cli/cli_compare.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"

#include <gtest/gtest.h>
#include <optional>
#include <sstream>

namespace qmt::cli {
namespace {

ParseResult Parse(QStringList arguments) {
    arguments.prepend("qmtctl");
    return ParseCliArguments(arguments);
}

TEST(CliNumbers, HexInEitherFormOrDecimal) {
    for (const char* good : {"0x4C", "0X4c", "4Ch", "4cH", "76"}) {
        EXPECT_EQ(ParseNumberArgument(good), 76) << good;
    }
    EXPECT_EQ(ParseNumberArgument("-5"), -5);
    for (const char* bad :
         {"", "h", "0x", "4G", "0x4Ch", "12 ", " 12", "1.5", "-4Ch", "0x-1", "99999999999"}) {
        EXPECT_EQ(ParseNumberArgument(bad), std::nullopt) << bad;
    }
}

TEST(CliArguments, OptionsStandBeforeBetweenOrAfterTheCommand) {
    const QStringList options{
        "--bridge", "tarnlink:/opt/libTarnlink.so", "--address", "4Ch", "--verbose", "--json"};
    const QStringList command{"read", "0xFE", "3", "10h"};
    for (const auto& args :
         {options + command, command + options,
          QStringList{"read", "--json", "0xFE", "--address", "4Ch", "3", "--bridge",
                      "tarnlink:/opt/libTarnlink.so", "10h", "--verbose"}}) {
        const auto parsed = Parse(args);
        ASSERT_EQ(parsed.outcome, ParseOutcome::Run) << parsed.text;
        EXPECT_EQ(parsed.options.bridge.libraryPath, "/opt/libTarnlink.so");
        EXPECT_EQ(parsed.options.address, 0x4C);
        EXPECT_TRUE(parsed.options.verbose && parsed.options.json);
        EXPECT_EQ(parsed.options.command, Command::Read);
        EXPECT_EQ(parsed.options.registers, (std::vector<std::int32_t>{0xFE, 3, 0x10}));
    }
    const auto write = Parse({"write", "--no-verify", "0x0B", "0xFF"});
    EXPECT_EQ(write.options.value, 0xFF);
    EXPECT_FALSE(write.options.verifyWrite);
    EXPECT_TRUE(Parse({"write", "0x0B", "0"}).options.verifyWrite);

    const auto i2c = Parse({"detect", "--force", "--bridge", "i2c:/dev/i2c-1"});
    ASSERT_EQ(i2c.outcome, ParseOutcome::Run) << i2c.text;
    EXPECT_EQ(i2c.options.bridge.i2cDevice, "/dev/i2c-1");
    EXPECT_TRUE(i2c.options.bridge.force);
    EXPECT_TRUE(i2c.options.bridge.libraryPath.empty());

    // log's own options after it (save, diff and export run through their
    // parsing in their own tests).
    auto parsed = Parse({"log", "run.csv", "--interval", "250", "--channels", "remote2,local",
                         "--count=5", "--events", "ev.csv"});
    ASSERT_EQ(parsed.outcome, ParseOutcome::Run) << parsed.text;
    EXPECT_EQ(parsed.options.log.file, "run.csv");
    EXPECT_EQ(parsed.options.log.intervalMs, 250);
    EXPECT_EQ(parsed.options.log.channels, (output::LogChannels{true, false, true}));
    EXPECT_EQ(parsed.options.log.count, 5);
    EXPECT_EQ(parsed.options.log.eventsFile, "ev.csv");

    link::BridgeChoice bridge;
    EXPECT_EQ(DefaultScriptBus(bridge), 1);
    bridge.i2cDevice = "/dev/i2c-7";
    EXPECT_EQ(DefaultScriptBus(bridge), 7);
    bridge.i2cDevice = "/dev/i2c-7x";
    EXPECT_EQ(DefaultScriptBus(bridge), 1);
}

TEST(CliArguments, HelpForACommandOrAllAndTheVersion) {
    const auto text = [](const QStringList& args) {
        const auto parsed = Parse(args);
        EXPECT_EQ(parsed.outcome, ParseOutcome::Help) << args.join(' ').toStdString();
        return parsed.text;
    };
    const std::string writeUse = "Usage: qmtctl [options] write REG VALUE [--no-verify]\n"
                                 "Write a register (0 to 255) and print what it holds then.\n\n"
                                 "Run 'qmtctl --help' for the options.\n";
    for (const auto& args : {QStringList{"help", "write"}, QStringList{"-h", "write", "9"}}) {
        EXPECT_EQ(text(args), writeUse);
    }
    const auto help = text({"--help"});
    EXPECT_NE(help.find("  read REG...        read registers"), std::string::npos) << help;
    EXPECT_NE(help.find("i2c:/dev/i2c-N"), std::string::npos) << help;
    // A long use puts its summary on the next line; no line is over 100 wide.
    EXPECT_NE(help.find("  log FILE [--interval MS]"), std::string::npos) << help;
    EXPECT_NE(help.find("\n                     append a log run to FILE"), std::string::npos);
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 100U) << line;
    }
    EXPECT_EQ(text({"temps", "--version"}), "qmtctl 2.0.0\n");
    EXPECT_TRUE(text({"help", "help"}).starts_with("Usage: qmtctl [options] help [COMMAND]\n"));
}

// After "--" even a name that looks like an option is an argument, also for
// the commands whose own options may stand anywhere.
TEST(CliArguments, DoubleDashEndsTheOptionsOfEveryCommand) {
    auto parsed = Parse({"save", "--comment", "x", "--", "--odd-name.sav"});
    ASSERT_EQ(parsed.outcome, ParseOutcome::Run) << parsed.text;
    EXPECT_EQ(parsed.options.file, "--odd-name.sav");
    EXPECT_EQ(parsed.options.comment, "x");
    parsed = Parse({"log", "--count", "2", "--", "--odd.csv"});
    ASSERT_EQ(parsed.outcome, ParseOutcome::Run) << parsed.text;
    EXPECT_EQ(parsed.options.log.file, "--odd.csv");
    EXPECT_EQ(parsed.options.log.count, 2);
    parsed = Parse({"export", "--format", "i2cset", "--", "--odd.sav"});
    ASSERT_EQ(parsed.outcome, ParseOutcome::Run) << parsed.text;
    EXPECT_EQ(parsed.options.file, "--odd.sav");
    parsed = Parse({"write", "--", "9", "4"});
    ASSERT_EQ(parsed.outcome, ParseOutcome::Run) << parsed.text;
    EXPECT_EQ(parsed.options.value, 4);
    // Before "--", a file name that looks like an option is still refused.
    EXPECT_EQ(Parse({"save", "--odd-name.sav"}).outcome, ParseOutcome::UsageError);
}

// Usage errors and an i2c-dev bridge that cannot be opened end before any
// connection, with one line saying why (a missing bridge library is the
// start-up scenarios').
TEST(CliArguments, UsageErrorsExitTwoWithOneLineSayingWhy) {
    const auto run = [](QStringList args, int exitCode, const std::string& reason) {
        args.prepend("qmtctl");
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunQmtctl(args, in, out, err), exitCode) << args.join(' ').toStdString();
        EXPECT_TRUE(err.str().starts_with("qmtctl: ")) << err.str();
        EXPECT_NE(err.str().find(reason), std::string::npos) << err.str();
        EXPECT_TRUE(out.str().empty());
        return err.str();
    };
    for (const auto& [args, reason] : std::initializer_list<std::pair<QStringList, std::string>>{
             {{}, "no command"},
             {{"--frobnicate", "detect"}, "frobnicate"},
             {{"--bridge", "usb", "detect"}, "unknown bridge 'usb'"},
             {{"--address", "0x80", "detect"}, "bad address '0x80'"},
             {{"read"}, "at least one register"},
             {{"read", "0x100"}, "bad register '0x100'"},
             {{"read", "3", "--", "--json"}, "bad register '--json'"},
             {{"write", "9", "-1"}, "bad value '-1' (0 to 255)"},
             {{"write", "9", "300"}, "bad value '300' (0 to 255)"},
             {{"write", "9", "0x100"}, "bad value '0x100' (0 to 255)"},
             {{"recall", "a.sav", "--changed-only"}, "--changed-only is not an option of recall"},
             {{"diff", "a.sav", "--bus", "1"}, "--bus is not an option of diff"},
             {{"export", "--format", "csv"}, "unknown export format 'csv' (i2cset, c or json)"},
             {{"log", "a.csv", "--interval", "2147483648"},
              "bad interval '2147483648' (0 to 2147483647 ms)"},
             {{"log", "a.csv", "--channels", ""}, "At least one item must be selected for logging"},
             {{"log", "a.csv", "--count", "0"}, "bad count '0' (1 or more lines)"},
             {{"log", "a.csv", "--duration", "nan"}, "bad duration 'nan' (seconds above 0)"},
             {{"log", "a.csv", "--count", "2", "--duration", "1"},
              "give --count or --duration, not both"},
             {{"log", "a.csv", "--events="}, "--events needs a FILE"}}) {
        const auto err = run(args, ExitUsage, reason);
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
    // An i2c-dev device that is missing or no adapter: one line naming it.
    for (const char* device : {"/nonexistent/i2c-99", "/dev/null"}) {
        const auto line =
            run({"--bridge", QString("i2c:") + device, "detect"}, ExitLinkFailure, device);
        EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
    }
}

} // namespace
} // namespace qmt::cli
