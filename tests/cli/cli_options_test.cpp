#include "cli/cli_options.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <optional>

namespace qmt::cli {
namespace {

ParseResult Parse(QStringList args) {
    args.prepend("qmtctl");
    return ParseCliArguments(args);
}

void ExpectUsage(const QStringList& args, const std::string& reason) {
    const auto result = Parse(args);
    EXPECT_EQ(result.outcome, ParseOutcome::UsageError) << args.join(' ').toStdString();
    EXPECT_NE(result.text.find(reason), std::string::npos) << result.text;
    EXPECT_EQ(result.text.find('\n'), std::string::npos) << result.text;
}

TEST(CliNumbers, HexInEitherFormOrDecimal) {
    EXPECT_EQ(ParseNumberArgument("0x4C"), 76);
    EXPECT_EQ(ParseNumberArgument("0X4c"), 76);
    EXPECT_EQ(ParseNumberArgument("4Ch"), 76);
    EXPECT_EQ(ParseNumberArgument("4cH"), 76);
    EXPECT_EQ(ParseNumberArgument("76"), 76);
    EXPECT_EQ(ParseNumberArgument("10h"), 16);
    EXPECT_EQ(ParseNumberArgument("-5"), -5);
    for (const char* bad :
         {"", "h", "0x", "4G", "0x4Ch", "12 ", " 12", "1.5", "-4Ch", "0x-1", "99999999999"}) {
        EXPECT_EQ(ParseNumberArgument(bad), std::nullopt) << bad;
    }
}

TEST(CliArguments, OptionsAndCommands) {
    const auto plain = Parse({"detect"});
    ASSERT_EQ(plain.outcome, ParseOutcome::Run) << plain.text;
    EXPECT_EQ(plain.options.command, Command::Detect);
    EXPECT_TRUE(plain.options.bridge.libraryPath.empty());
    EXPECT_FALSE(plain.options.address);
    EXPECT_FALSE(plain.options.verbose);
    EXPECT_FALSE(plain.options.json);

    const auto full = Parse({"--bridge", "tarnlink:/opt/libTarnlink.so", "--address", "4Ch",
                             "--verbose", "--json", "read", "0xFE", "3", "10h"});
    ASSERT_EQ(full.outcome, ParseOutcome::Run) << full.text;
    EXPECT_EQ(full.options.bridge.libraryPath, "/opt/libTarnlink.so");
    EXPECT_EQ(full.options.address, 0x4C);
    EXPECT_TRUE(full.options.verbose);
    EXPECT_TRUE(full.options.json);
    EXPECT_EQ(full.options.command, Command::Read);
    EXPECT_EQ(full.options.registers, (std::vector<std::int32_t>{0xFE, 3, 0x10}));

    const auto write = Parse({"write", "0x0B", "300"});
    ASSERT_EQ(write.outcome, ParseOutcome::Run) << write.text;
    EXPECT_EQ(write.options.registers, std::vector<std::int32_t>{0x0B});
    EXPECT_EQ(write.options.value, 300); // the write itself limits it

    EXPECT_EQ(Parse({"--help"}).outcome, ParseOutcome::Help);
}

TEST(CliArguments, UsageErrorsSayWhy) {
    ExpectUsage({}, "no command");
    ExpectUsage({"flash"}, "unknown command 'flash'");
    ExpectUsage({"--frobnicate", "detect"}, "frobnicate");
    ExpectUsage({"--bridge", "usb", "detect"}, "unknown bridge 'usb'");
    ExpectUsage({"--address", "0x80", "detect"}, "bad address '0x80'");
    ExpectUsage({"--board", "/nonexistent/board.txt", "detect"}, "/nonexistent/board.txt");
    ExpectUsage({"read"}, "at least one register");
    ExpectUsage({"read", "0x100"}, "bad register '0x100'");
    ExpectUsage({"read", "3", "--json"}, "bad register '--json'"); // options come first
    ExpectUsage({"write", "9"}, "write needs REG VALUE");
    ExpectUsage({"write", "9", "-1"}, "value must not be negative");
    ExpectUsage({"write", "9", "twelve"}, "bad value 'twelve'");
    ExpectUsage({"dump", "1"}, "dump takes no arguments");
    ExpectUsage({"temps", "all"}, "temps takes no arguments");
}

} // namespace
} // namespace qmt::cli
