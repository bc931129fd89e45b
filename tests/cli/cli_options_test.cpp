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

TEST(CliArguments, OptionsComeBeforeTheCommand) {
    const auto full =
        ParseCliArguments({"qmtctl", "--bridge", "tarnlink:/opt/libTarnlink.so", "--address", "4Ch",
                           "--verbose", "--json", "read", "0xFE", "3", "10h"});
    ASSERT_EQ(full.outcome, ParseOutcome::Run) << full.text;
    EXPECT_EQ(full.options.bridge.libraryPath, "/opt/libTarnlink.so");
    EXPECT_EQ(full.options.address, 0x4C);
    EXPECT_TRUE(full.options.verbose);
    EXPECT_TRUE(full.options.json);
    EXPECT_EQ(full.options.command, Command::Read);
    EXPECT_EQ(full.options.registers, (std::vector<std::int32_t>{0xFE, 3, 0x10}));

    const auto write = ParseCliArguments({"qmtctl", "write", "0x0B", "300"});
    EXPECT_EQ(write.options.value, 300); // the write itself limits it
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
             {{"read", "3", "--json"}, "bad register '--json'"},
             {{"write", "9", "-1"}, "value must not be negative"},
             {{"dump", "1"}, "dump takes no arguments"}}) {
        const auto err = run(args, ExitUsage, reason);
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
    const auto err = run({"--bridge", "tarnlink:/nonexistent/libTarnlink.so", "detect"},
                         ExitLinkFailure, "/nonexistent/libTarnlink.so");
    EXPECT_TRUE(err.ends_with("\nFirmware failed to download - Check USB connections\n")) << err;
}

} // namespace
} // namespace qmt::cli
