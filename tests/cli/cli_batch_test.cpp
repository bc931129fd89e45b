#include "cli/cli_batch.h"
#include "cli/cli_rig.h"
#include "cli/cli_settings_files.h"
#include "cli/command_words.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace qmt::cli {
namespace {

using Words = std::vector<std::string>;

Words Split(const std::string& line) {
    std::string error;
    const auto words = SplitCommandWords(line, error);
    EXPECT_TRUE(words) << line << ": " << error;
    return words.value_or(Words{});
}

std::string SplitError(const std::string& line) {
    std::string error;
    EXPECT_FALSE(SplitCommandWords(line, error)) << line;
    return error;
}

TEST(CommandWords, SplitAsAShellDoesWithoutExpansions) {
    EXPECT_EQ(Split("  read 0x05\t 0x06 "), (Words{"read", "0x05", "0x06"}));
    EXPECT_EQ(Split(R"(save "my file.sav" --comment 'bench "3"')"),
              (Words{"save", "my file.sav", "--comment", "bench \"3\""}));
    EXPECT_EQ(Split(R"(save my\ file.sav "a\"b\\c\d" 'a\b')"),
              (Words{"save", "my file.sav", R"(a"b\c\d)", R"(a\b)"}));
    EXPECT_EQ(Split(R"(save --comment '' x''y"z")"), (Words{"save", "--comment", "", "xyz"}));
    // A # starts a comment only where a word starts.
    EXPECT_EQ(Split("read 3 # the configuration"), (Words{"read", "3"}));
    EXPECT_EQ(Split("save a#b.sav '#c'"), (Words{"save", "a#b.sav", "#c"}));
    EXPECT_EQ(Split("# read 3"), Words{});
    EXPECT_EQ(Split(" \t"), Words{});

    EXPECT_EQ(SplitError(R"(save "my file.sav)"), "no closing \" quote");
    EXPECT_EQ(SplitError("save 'a \"b\""), "no closing ' quote");
    EXPECT_EQ(SplitError("read 3 \\"), "a backslash ends the line");
}

// A batch on the chip of CliRig, each line run as qmtctl runs one command.
struct BatchRig : CliRig {
    int Batch(const std::string& text, const QStringList& batchOptions = {}) {
        const auto parsed = ParseCliArguments(QStringList{"qmtctl", "batch"} + batchOptions);
        EXPECT_EQ(parsed.outcome, ParseOutcome::Run) << parsed.text;
        std::istringstream lines(text);
        out.clear();
        err.str({});
        std::ostringstream printed;
        const int status = RunBatch(
            lines, parsed.options,
            [&](const CliOptions& line) { return RunOnChip(line, access, clock, printed, err); },
            printed, err);
        out = printed.str();
        return status;
    }
    std::ostringstream err;
};

// Good and bad lines: each prints what it prints alone, a failing one is
// named with its number, and the batch ends with the worst status.
TEST(CliBatch, RunsEachLineAsAloneAndEndsWithTheWorstStatus) {
    BatchRig rig;
    const auto saved = rig.dir.filePath("my file.sav").toStdString();
    const int status = rig.Batch("# the local channel\n"
                                 "read 0x05\n"
                                 "\n"
                                 "write 0x0B 0x30\r\n" // the stub keeps it apart from 0x05
                                 "temps --json\n"
                                 "read 0x100\n"
                                 "--address 0x4D read 0\n"
                                 "batch more.txt\n"
                                 "save \"" +
                                 saved +
                                 "\" --changed-only  # none differ\n"
                                 "help read\n");
    EXPECT_EQ(status, ExitUsage);
    EXPECT_EQ(rig.out, "5h 55H 85\n"
                       "Bh 55H 85\n"
                       "{\"local\":0,\"remote1\":0,\"remote2\":0}\n"
                       "0 registers saved\n"
                       "Usage: qmtctl [options] read REG...\n"
                       "Read registers (pointer, hex and decimal value).\n\n"
                       "Run 'qmtctl --help' for the options.\n");
    EXPECT_EQ(rig.err.str(),
              "qmtctl: line 4: not written as given: the chip holds 55H, not 30H\n"
              "qmtctl: line 6: bad register '0x100' (0 to 255)\n"
              "qmtctl: line 7: --address belongs on the batch's command line, not on one of its "
              "lines\n"
              "qmtctl: line 8: a batch cannot run another batch\n");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(saved)));

    // The batch's --json holds for every line; a status of a line that says
    // nothing itself (diff's "it differs") is named too; a log runs to its
    // count on the injected clock and the next line follows it.
    const auto log = rig.dir.filePath("run.csv").toStdString();
    EXPECT_EQ(rig.Batch("save '" + saved + "'\nwrite 0x0A 0x05 --no-verify\ndiff '" + saved +
                            "'\nlog '" + log + "' --count 2\nread 0xFE\n",
                        {"--json"}),
              ExitCommandFailed);
    EXPECT_TRUE(rig.out.starts_with(
        "30 registers saved\n{\"pointer\":10,\"value\":5}\n{\"complete\":true,\"differs\":true,"))
        << rig.out;
    EXPECT_TRUE(
        rig.out.ends_with("2 lines written to " + log + "\n[{\"pointer\":254,\"value\":65}]\n"))
        << rig.out;
    EXPECT_EQ(rig.err.str(), "qmtctl: line 3: exit status 1\n");
}

TEST(CliBatch, ALinkFailureEndsTheBatchAtOnceWithThree) {
    BatchRig rig;
    rig.bridge.failAfterRequests = 2;
    EXPECT_EQ(rig.Batch("read 0xFE 0xFF\nread 3\nread 0xFE\n"), ExitLinkFailure);
    EXPECT_EQ(rig.out, "FEh 41H 65\nFFh 52H 82\n");
    EXPECT_EQ(rig.err.str(), "qmtctl: line 2: the link failed; no further line is run\n");
    EXPECT_EQ(rig.errors.codes, std::vector{link::LinkError::Communications});
    EXPECT_EQ(rig.bridge.Count(222), 3);
}

// The batch's file is opened before any bridge is: a wrong name costs no connection.
TEST(CliBatch, AFileThatCannotBeReadFailsBeforeTheConnection) {
    QTemporaryDir dir;
    for (const auto& [file, reason] : std::initializer_list<std::pair<QString, std::string>>{
             {dir.filePath("none.txt"), ": No such file or directory\n"},
             {dir.path(), ": it is a folder\n"}}) {
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunQmtctl({"qmtctl", "--bridge", "tarnlink:/nonexistent/lib.so", "batch", file},
                            in, out, err),
                  ExitCommandFailed);
        EXPECT_EQ(err.str(), "qmtctl: cannot read " + file.toStdString() + reason);
    }
}

} // namespace
} // namespace qmt::cli
