#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace qmt::cli {
namespace {

ParseResult Parse(QStringList arguments) {
    arguments.prepend("qmtctl");
    return ParseCliArguments(arguments);
}

std::string Reason(QStringList arguments) {
    const auto result = Parse(std::move(arguments));
    EXPECT_EQ(result.outcome, ParseOutcome::UsageError);
    return result.text;
}

TEST(CliSettingsFiles, SaveAndRecallTakeTheirArgumentsInAnyOrder) {
    auto parsed =
        Parse({"--address", "0x4C", "save", "--comment", "bench 3", "a.sav", "--changed-only"});
    ASSERT_EQ(parsed.outcome, ParseOutcome::Run) << parsed.text;
    EXPECT_EQ(parsed.options.command, Command::Save);
    EXPECT_EQ(parsed.options.file, "a.sav");
    EXPECT_EQ(parsed.options.comment, "bench 3");
    EXPECT_TRUE(parsed.options.changedOnly);
    parsed = Parse({"save", "--comment=-x", "b.sav"});
    EXPECT_EQ(parsed.options.comment, "-x");
    EXPECT_FALSE(parsed.options.changedOnly);
    parsed = Parse({"recall", "c.sav"});
    EXPECT_EQ(parsed.options.command, Command::Recall);
    EXPECT_EQ(parsed.options.file, "c.sav");

    EXPECT_EQ(Reason({"save"}), "save needs FILE");
    EXPECT_EQ(Reason({"save", "a.sav", "--comment"}), "Missing value after '--comment'.");
    EXPECT_EQ(Reason({"save", "a.sav", "b.sav"}), "save takes one FILE");
    EXPECT_EQ(Reason({"save", "--all", "a.sav"}), "Unknown option 'all'.");
    EXPECT_EQ(Reason({"recall"}), "recall needs FILE");
    EXPECT_EQ(Reason({"recall", "a.sav", "--changed-only"}),
              "--changed-only is not an option of recall");
}

} // namespace
} // namespace qmt::cli
