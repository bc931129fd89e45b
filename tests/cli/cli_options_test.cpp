#include "cli/cli_options.h"
#include "cli/cli_run.h"

#include <gtest/gtest.h>
#include <optional>
#include <sstream>

namespace qmt::cli {
namespace {

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
    std::vector<QStringList> orders{options + command, command + options,
                                    QStringList{"read", "--json", "0xFE", "--address", "4Ch", "3",
                                                "--bridge", "tarnlink:/opt/libTarnlink.so", "10h",
                                                "--verbose"}};
    for (auto args : orders) {
        args.prepend("qmtctl");
        const auto parsed = ParseCliArguments(args);
        ASSERT_EQ(parsed.outcome, ParseOutcome::Run) << parsed.text;
        EXPECT_EQ(parsed.options.bridge.libraryPath, "/opt/libTarnlink.so");
        EXPECT_EQ(parsed.options.address, 0x4C);
        EXPECT_TRUE(parsed.options.verbose);
        EXPECT_TRUE(parsed.options.json);
        EXPECT_EQ(parsed.options.command, Command::Read);
        EXPECT_EQ(parsed.options.registers, (std::vector<std::int32_t>{0xFE, 3, 0x10}));
    }

    const auto write = ParseCliArguments({"qmtctl", "write", "0x0B", "300", "--json"});
    EXPECT_EQ(write.options.value, 300); // the write itself limits it
    EXPECT_TRUE(write.options.json);

    const auto i2c =
        ParseCliArguments({"qmtctl", "detect", "--force", "--bridge", "i2c:/dev/i2c-1"});
    ASSERT_EQ(i2c.outcome, ParseOutcome::Run) << i2c.text;
    EXPECT_EQ(i2c.options.bridge.i2cDevice, "/dev/i2c-1");
    EXPECT_TRUE(i2c.options.bridge.force);
    EXPECT_TRUE(i2c.options.bridge.libraryPath.empty());
}

TEST(CliArguments, HelpForACommandOrAllAndTheVersion) {
    const auto text = [](QStringList args) {
        args.prepend("qmtctl");
        const auto parsed = ParseCliArguments(args);
        EXPECT_EQ(parsed.outcome, ParseOutcome::Help) << args.join(' ').toStdString();
        return parsed.text;
    };
    const std::string writeUse = "Usage: qmtctl [options] write REG VALUE\n"
                                 "Write a register (values above 255 write 255).\n\n"
                                 "Run 'qmtctl --help' for the options.\n";
    EXPECT_EQ(text({"help", "write"}), writeUse);
    EXPECT_EQ(text({"write", "--help"}), writeUse);
    EXPECT_EQ(text({"-h", "write", "9"}), writeUse);
    for (const QStringList& all : {QStringList{"help"}, QStringList{"--help"}}) {
        const auto help = text(all);
        for (const char* line : {"  read REG...        read registers", "  help [COMMAND]",
                                 "--bridge <BRIDGE>", "i2c:/dev/i2c-N", "--force"}) {
            EXPECT_NE(help.find(line), std::string::npos) << line;
        }
    }
    EXPECT_EQ(text({"--version"}), "qmtctl 2.0.0\n");
    EXPECT_EQ(text({"temps", "--version"}), "qmtctl 2.0.0\n");
}

// Usage errors and a bridge that cannot be loaded end before any connection.
TEST(CliArguments, UsageErrorsExitTwoWithOneLineSayingWhy) {
    const auto run = [](QStringList args, int exitCode, const std::string& reason) {
        args.prepend("qmtctl");
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunQmtctl(args, out, err), exitCode) << args.join(' ').toStdString();
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
             {{"read", "3", "--address"}, "Missing value after '--address'"},
             {{"write", "9", "-1"}, "value must not be negative"},
             {{"write", "-0x1", "--json", "9"}, "bad register '-0x1'"},
             {{"help", "frob"}, "unknown command 'frob'"},
             {{"--bridge", "i2c:", "detect"}, "unknown bridge 'i2c:'"},
             {{"dump", "1"}, "dump takes no arguments"}}) {
        const auto err = run(args, ExitUsage, reason);
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
    const auto err = run({"--bridge", "tarnlink:/nonexistent/libTarnlink.so", "detect"},
                         ExitLinkFailure, "/nonexistent/libTarnlink.so");
    EXPECT_TRUE(err.ends_with("\nFirmware failed to download - Check USB connections\n")) << err;
    // An i2c-dev device that is missing or no adapter: one line naming it.
    for (const char* device : {"/nonexistent/i2c-99", "/dev/null"}) {
        const auto line =
            run({"--bridge", QString("i2c:") + device, "detect"}, ExitLinkFailure, device);
        EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
    }
}

} // namespace
} // namespace qmt::cli
