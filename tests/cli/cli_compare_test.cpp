#include "cli/cli_compare.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "cli/cli_settings_files.h"
#include "link/link_rig.h"
#include "model/reg_map.h"
#include "support/stub_bridge.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace qmt::cli {
namespace {

constexpr std::int32_t Chip = 0x4C;

ParseResult Parse(QStringList arguments) {
    arguments.prepend("qmtctl");
    return ParseCliArguments(arguments);
}

std::string Reason(QStringList arguments) {
    const auto result = Parse(std::move(arguments));
    EXPECT_EQ(result.outcome, ParseOutcome::UsageError);
    return result.text;
}

// A connected chip whose saved registers hold their power-on values, and a
// file in a temporary folder to compare it with.
struct DiffRig : test::LinkRig<test::StubBridge> {
    DiffRig() {
        bridge.AddChip(Chip);
        usb.DeviceAddress = Chip;
        model::RegMapStuff table;
        table.FillRegMap();
        for (const int index : table.SaveWalk()) {
            const auto& entry = table.RegMap[static_cast<std::size_t>(index)];
            bridge.chips[Chip][entry.ReadAddress] = static_cast<std::uint8_t>(entry.DefaultValue);
        }
    }
    // Runs the command line's command on the chip; the printed text in `out`.
    int Run(QStringList arguments) {
        const auto parsed = Parse(std::move(arguments));
        EXPECT_EQ(parsed.outcome, ParseOutcome::Run) << parsed.text;
        std::ostringstream text;
        const int status = RunCommand(parsed.options, access, text);
        out = text.str();
        return status;
    }
    QString File(const char* name, const std::string& text) {
        const QString path = dir.filePath(name);
        std::ofstream(path.toStdString(), std::ios::binary) << text;
        return path;
    }
    QTemporaryDir dir;
    std::string out;
};

const std::string LocalLimits = "{\r\n0xB\t0x55\t // Local Temp High Limit\r\n"
                                "0xC\t0x0\t // Local Temp Low Limit\r\n}\r\n";

TEST(CliCompare, DiffAndExportTakeTheirArguments) {
    auto parsed = Parse({"diff", "a.sav", "--json"});
    ASSERT_EQ(parsed.outcome, ParseOutcome::Run) << parsed.text;
    EXPECT_EQ(parsed.options.command, Command::Diff);
    EXPECT_EQ(parsed.options.file, "a.sav");
    EXPECT_TRUE(parsed.options.json);
    parsed =
        Parse({"export", "--bus", "3", "--format", "i2cset", "b.sav", "--script-address", "4Dh"});
    ASSERT_EQ(parsed.outcome, ParseOutcome::Run) << parsed.text;
    EXPECT_EQ(parsed.options.command, Command::Export);
    EXPECT_EQ(parsed.options.file, "b.sav");
    EXPECT_EQ(parsed.options.scriptBus, 3);
    EXPECT_EQ(parsed.options.scriptAddress, 0x4D);
    parsed = Parse({"export", "--format", "i2cset"});
    EXPECT_EQ(parsed.options.file, "");
    EXPECT_EQ(parsed.options.scriptBus, std::nullopt);

    EXPECT_EQ(Reason({"diff"}), "diff needs FILE");
    EXPECT_EQ(Reason({"diff", "a.sav", "b.sav"}), "diff needs FILE");
    EXPECT_EQ(Reason({"diff", "a.sav", "--bus", "1"}), "--bus is not an option of diff");
    EXPECT_EQ(Reason({"export"}), "export needs --format i2cset");
    EXPECT_EQ(Reason({"export", "--format", "csv"}), "unknown export format 'csv' (i2cset)");
    EXPECT_EQ(Reason({"export", "--format", "i2cset", "--bus", "-1"}), "bad bus '-1'");
    EXPECT_EQ(Reason({"export", "--format", "i2cset", "--script-address", "0x80"}),
              "bad address '0x80' (0 to 0x7F)");
    EXPECT_EQ(Reason({"export", "--format", "i2cset", "a.sav", "b.sav"}), "export takes one FILE");

    link::BridgeChoice bridge;
    EXPECT_EQ(DefaultScriptBus(bridge), 1);
    bridge.i2cDevice = "/dev/i2c-7";
    EXPECT_EQ(DefaultScriptBus(bridge), 7);
    bridge.i2cDevice = "/dev/i2c-7x";
    EXPECT_EQ(DefaultScriptBus(bridge), 1);
}

TEST(CliCompare, DiffExitsZeroWhenTheChipHoldsTheFileAndOneWhenItDiffers) {
    DiffRig rig;
    const QString same = rig.File("same.sav", LocalLimits);
    EXPECT_EQ(rig.Run({"diff", same}), ExitDone);
    EXPECT_EQ(rig.out, "");

    rig.bridge.chips[Chip][0x05] = 0x50;
    rig.bridge.chips[Chip][0x03] = 0x04;
    EXPECT_EQ(rig.Run({"diff", same}), ExitDiffers);
    EXPECT_EQ(rig.out, "5h/Bh Local Temp High Limit: chip 50H, file 55H, bits 2, 0\n");
    EXPECT_EQ(rig.Run({"--json", "diff", same}), ExitDiffers);
    EXPECT_EQ(rig.out, "{\"complete\":true,\"differs\":true,\"file\":\"" + same.toStdString() +
                           "\",\"rows\":[{\"bits\":[\"2\",\"0\"],\"chip\":80,\"file\":85,"
                           "\"name\":\"Local Temp High Limit\",\"powerOn\":85,\"read\":5,"
                           "\"write\":11}]}\n");

    // A file cut inside its block compares the rows it has, and says so.
    const QString cut = rig.File("cut.sav", "{\r\n0x9\t0x4\r\n0xB\t0x5");
    EXPECT_EQ(rig.Run({"diff", cut}), ExitDone);
    EXPECT_EQ(rig.out,
              cut.toStdString() + " ends before \"}\": only the registers before it compared\n");
    // A line the comparison cannot place differs: the recall would write it.
    const QString extra = rig.File("extra.sav", "{\r\n0x9\t0x4\r\n0x50\t0x1\r\n}\r\n");
    EXPECT_EQ(rig.Run({"diff", extra}), ExitDiffers);
    EXPECT_EQ(rig.out, "50h Unknown: chip -, file 1H\n");
}

TEST(CliCompare, FilesThatCannotBeComparedAreTroubleWithStatusTwo) {
    DiffRig rig;
    const QString noBlock = rig.File("none.sav", "0xB\t0x55\r\n");
    for (const QString& path : {noBlock, rig.dir.filePath("missing.sav")}) {
        try {
            rig.Run({"diff", path});
            ADD_FAILURE() << "no failure for " << path.toStdString();
        } catch (const CommandFailure& failure) {
            EXPECT_EQ(failure.status(), ExitDiffTrouble);
        }
    }
    // export's failures keep the status of a failed command.
    try {
        rig.Run({"export", "--format", "i2cset", noBlock});
        ADD_FAILURE() << "no failure";
    } catch (const CommandFailure& failure) {
        EXPECT_EQ(failure.status(), ExitCommandFailed);
        EXPECT_EQ(std::string(failure.what()),
                  noBlock.toStdString() + " has no \"{\": no register to compare");
    }
}

TEST(CliCompare, ExportWritesTheChipsOrTheFilesValues) {
    DiffRig rig;
    rig.bridge.chips[Chip][0x05] = 0x50;
    EXPECT_EQ(rig.Run({"export", "--format", "i2cset", "--bus", "2"}), ExitDone);
    EXPECT_NE(rig.out.find("# QMT6171/2/3 register settings for the chip at 0x4C on I2C bus 2\n"
                           "# Values of the chip at 0x4C, taken "),
              std::string::npos)
        << rig.out;
    EXPECT_NE(rig.out.find("\ni2cset -y 2 0x4C 0x0B 0x50 b # Local Temp High Limit\n"),
              std::string::npos);

    const QString file = rig.File("limits.sav", LocalLimits);
    EXPECT_EQ(rig.Run({"export", "--format", "i2cset", "--script-address", "0x18", file}),
              ExitDone);
    EXPECT_NE(rig.out.find("# Values of the settings file " + file.toStdString()),
              std::string::npos);
    EXPECT_NE(rig.out.find("\ni2cset -y 1 0x18 0x0B 0x55 b # Local Temp High Limit\n"
                           "i2cset -y 1 0x18 0x0C 0x00 b # Local Temp Low Limit\n"),
              std::string::npos)
        << rig.out;
    EXPECT_NE(rig.out.find("\n# Configuration Reg 1: not in the file\n"), std::string::npos);
}

} // namespace
} // namespace qmt::cli
