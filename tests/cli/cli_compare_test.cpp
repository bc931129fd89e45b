#include "cli/cli_compare.h"
#include "cli/cli_rig.h"
#include "cli/cli_settings_files.h"

namespace qmt::cli {
namespace {

using DiffRig = CliRig;

const std::string LocalLimits = "{\r\n0xB\t0x55\t // Local Temp High Limit\r\n"
                                "0xC\t0x0\t // Local Temp Low Limit\r\n}\r\n";

TEST(CliCompare, DiffExitsZeroWhenTheChipHoldsTheFileAndOneWhenItDiffers) {
    DiffRig rig;
    const QString same = rig.File("same.sav", LocalLimits);
    EXPECT_EQ(rig.Run({"diff", same}), ExitDone);
    EXPECT_EQ(rig.out, "");

    rig.chip()[0x05] = 0x50;
    rig.chip()[0x03] = 0x04;
    EXPECT_EQ(rig.Run({"diff", same}), ExitDiffers);
    EXPECT_EQ(rig.out, "5h/Bh Local Temp High Limit: chip 50H, file 55H, bits 2, 0\n");
    EXPECT_EQ(rig.Run({"--json", "diff", same}), ExitDiffers);
    EXPECT_EQ(rig.out, "{\"complete\":true,\"differs\":true,\"file\":\"" + same.toStdString() +
                           "\",\"rows\":[{\"bits\":[\"2\",\"0\"],\"chip\":80,\"file\":85,"
                           "\"name\":\"Local Temp High Limit\",\"powerOn\":85,\"read\":5,"
                           "\"write\":11}]}\n");

    // A line of no register in the table is named, but has nothing to differ from.
    const QString extra = rig.File("extra.sav", "{\r\n0x9\t0x4\r\n0x50\t0x1\r\n}\r\n");
    EXPECT_EQ(rig.Run({"diff", extra}), ExitDone);
    EXPECT_EQ(rig.out, "50h: file 1H, not in the register table\n");
    EXPECT_EQ(rig.Run({"--json", "diff", extra}), ExitDone);
    EXPECT_NE(rig.out.find("\"notInTable\":[{\"file\":1,\"write\":80}]"), std::string::npos)
        << rig.out;

    const auto twoFiles = ParseCliArguments({"qmtctl", "diff", same, extra});
    EXPECT_EQ(twoFiles.outcome, ParseOutcome::UsageError);
    EXPECT_EQ(twoFiles.text, "diff takes one FILE");
}

TEST(CliCompare, FilesThatCannotBeComparedAreTroubleWithStatusTwo) {
    DiffRig rig;
    const auto statusOf = [&](const QStringList& args) -> std::pair<int, std::string> {
        try {
            rig.Run(args);
        } catch (const CommandFailure& failure) {
            return {failure.status(), failure.what()};
        }
        return {ExitDone, "no failure"};
    };
    const QString noBlock = rig.File("none.sav", "0xB\t0x55\r\n");
    EXPECT_EQ(statusOf({"diff", noBlock}),
              std::pair(ExitDiffTrouble,
                        noBlock.toStdString() + " has no \"{\": no register to compare"));
    // A file cut inside its block, or with a bad line, is no file that a
    // recall would write: "diff && ..." must not pass it on.
    const QString cut = rig.File("cut.sav", "{\r\n0xB\t0x55\r\n0xC\t0x");
    EXPECT_EQ(statusOf({"diff", cut}),
              std::pair(ExitDiffTrouble,
                        cut.toStdString() + " ends before \"}\" (line 3): not compared"));
    const QString wide = rig.File("wide.sav", "{\r\n0xB\t0x55\r\n0xC\t0x100\r\n}\r\n");
    EXPECT_EQ(statusOf({"--json", "diff", wide}),
              std::pair(ExitDiffTrouble,
                        wide.toStdString() +
                            " line 3 holds 0x100, more than two hexadecimal digits: not compared"));
    // export's failures keep the status of a failed command.
    EXPECT_EQ(statusOf({"export", "--format", "i2cset", noBlock}).first, ExitCommandFailed);
}

TEST(CliCompare, ExportWritesTheChipsOrTheFilesValues) {
    DiffRig rig;
    rig.chip()[0x05] = 0x50;
    EXPECT_EQ(rig.Run({"export", "--format", "i2cset", "--bus", "2"}), ExitDone);
    EXPECT_NE(rig.out.find("\ni2cset -y 2 0x4C 0x0B 0x50 b # Local Temp High Limit\n"),
              std::string::npos)
        << rig.out;

    const QString file = rig.File("limits.sav", LocalLimits);
    // A file's script needs no chip: here the bridge is a device that is not there.
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(
        RunQmtctl({"qmtctl", "--bridge", "i2c:/dev/i2c-99", "export", "--format", "i2cset", file},
                  in, out, err),
        ExitDone)
        << err.str();
    EXPECT_NE(out.str().find("\ni2cset -y 99 0x4C 0x0B 0x55 b # Local Temp High Limit\n"),
              std::string::npos)
        << out.str();

    EXPECT_EQ(rig.Run({"export", "--format", "i2cset", "--script-address", "0x18", file}),
              ExitDone);
    EXPECT_NE(rig.out.find("\ni2cset -y 1 0x18 0x0B 0x55 b # Local Temp High Limit\n"
                           "i2cset -y 1 0x18 0x0C 0x00 b # Local Temp Low Limit\n"),
              std::string::npos)
        << rig.out;
}

} // namespace
} // namespace qmt::cli
