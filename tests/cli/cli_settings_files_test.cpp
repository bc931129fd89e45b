#include "cli/cli_run.h"
#include "cli/cli_settings_files.h"
#include "link/link_rig.h"
#include "model/reg_map.h"
#include "support/stub_bridge.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

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

struct FileRig : test::LinkRig<test::StubBridge> {
    // The chip's saved registers at their defaults.
    FileRig() {
        bridge.AddChip(0x4C);
        usb.DeviceAddress = 0x4C;
        model::RegMapStuff table;
        table.FillRegMap();
        for (const int index : table.SaveWalk()) {
            const auto& entry = table.RegMap[static_cast<std::size_t>(index)];
            bridge.chips[0x4C][entry.ReadAddress] = static_cast<std::uint8_t>(entry.DefaultValue);
        }
    }
    std::string Run(Command command, const QString& file, bool changedOnly = false) {
        CliOptions cli;
        cli.command = command;
        cli.file = file.toStdString();
        cli.comment = " from the shell ";
        cli.changedOnly = changedOnly;
        std::ostringstream out;
        EXPECT_EQ(RunCommand(cli, access, out), ExitDone);
        return out.str();
    }
    QTemporaryDir dir;
};

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    EXPECT_EQ(Reason({"save", "a.sav", "--comment"}), "--comment needs a text");
    EXPECT_EQ(Reason({"save", "a.sav", "b.sav"}), "save takes one FILE");
    EXPECT_EQ(Reason({"save", "--all", "a.sav"}), "unknown save option '--all'");
    EXPECT_EQ(Reason({"recall"}), "recall needs FILE");
    EXPECT_EQ(Reason({"recall", "a.sav", "--changed-only"}), "recall needs FILE");
}

TEST(CliSettingsFiles, SaveWritesTheProgramsFileAndRecallWritesItBack) {
    FileRig rig;
    rig.bridge.chips[0x4C][0x03] = 0x04;
    const QString path = rig.dir.filePath("a.sav");
    EXPECT_EQ(rig.Run(Command::Save, path, true), "1 register saved\n");
    const QByteArray text = Contents(path);
    EXPECT_TRUE(text.startsWith("Kestrivo\r\nQMT6171/3 Evaluation Software\r\n\r\nSaved: "));
    EXPECT_TRUE(text.contains("\r\n\r\nComment : from the shell\r\n\r\n"));
    EXPECT_TRUE(text.endsWith("Address\tData\tRegister\r\n{\r\n"
                              "0x9\t0x4\t // Configuration Reg 1\r\n}\r\n"))
        << text.constData();

    rig.bridge.log.clear();
    EXPECT_EQ(rig.Run(Command::Recall, path), "1 register written\n");
    const auto calls = rig.bridge.Calls(222);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().arg4, 0);
    EXPECT_EQ(calls.front().index, 0x04 * 256 + 0x09);

    EXPECT_EQ(rig.Run(Command::Save, path), "30 registers saved\n");
    EXPECT_EQ(rig.Run(Command::Recall, path), "30 registers written\n");
}

TEST(CliSettingsFiles, AFileWithoutItsBlockFailsWithOneLine) {
    FileRig rig;
    const QString path = rig.dir.filePath("b.sav");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Kestrivo\r\n0x24\t0x80\r\n");
    file.close();
    CliOptions options;
    options.command = Command::Recall;
    options.file = path.toStdString();
    std::ostringstream out;
    try {
        RunCommand(options, rig.access, out);
        ADD_FAILURE() << "no failure";
    } catch (const CommandFailure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Recall failed, " + options.file + " has no \"{\": no register written");
    }
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(rig.bridge.Count(222), 0);

    // Cut inside the block: the count of what was written, then the reason.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\r\n0x24\t0x80\r\n0xB");
    file.close();
    out.str("");
    EXPECT_THROW(RunCommand(options, rig.access, out), CommandFailure);
    EXPECT_EQ(out.str(), "1 register written\n");

    options.command = Command::Save;
    options.file = rig.dir.path().toStdString(); // a folder
    EXPECT_THROW(RunCommand(options, rig.access, out), CommandFailure);
}

} // namespace
} // namespace qmt::cli
