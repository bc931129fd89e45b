#include "files/power_on_chip.h"
#include "files/register_script.h"
#include "files/settings_save.h"
#include "support/test_paths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace qmt::files {
namespace {

constexpr std::int32_t Chip = 0x4C;
using Calls = std::vector<std::string>;

// Rows of a chip whose settings are the defaults but for a few.
struct ScriptRig : test::PowerOnChip {
    ScriptRig() {
        chip()[0x03] = 0x0C;
        chip()[0x05] = 0x4B;
        chip()[0x07] = 0x60;
    }
    std::vector<CompareRow> Rows(const FileValues* file = nullptr) {
        return BuildCompareRows(table, ReadSavedRegisters(table, access, false), file);
    }
};

const ScriptHeader Header{3, Chip, "the chip at 0x4C", "2026-12-06 22:52:03"};

// Runs the script in sh with i2cset a function that prints its arguments and
// fails at call `failAt` (0: never), and i2cget one that reads 0x0C. The exit
// status; the calls in `calls`.
int RunScript(const std::string& script, Calls& calls, int failAt = 0) {
    QTemporaryDir dir;
    const QString path = dir.filePath("settings.sh");
    std::ofstream(path.toStdString()) << script;
    QProcess shell;
    shell.start("sh", {"-c",
                       QString("n=0; i2cset() { n=$((n+1)); echo \"$*\"; [ $n -ne %1 ]; }; "
                               "i2cget() { echo 0x0C; }; . \"$0\"")
                           .arg(failAt),
                       path});
    EXPECT_TRUE(shell.waitForFinished(30000));
    calls.clear();
    for (const auto& line : shell.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty()) {
            calls.push_back(line.toStdString());
        }
    }
    return shell.exitCode();
}

TEST(RegisterScript, TheChipsValuesOfTheChannelShownWithReadOnlyRowsAsComments) {
    ScriptRig rig;
    const std::string script = I2csetScript(rig.table, rig.Rows(), ScriptValues::Chip, Header);
    EXPECT_TRUE(script.starts_with("#!/bin/sh\n"
                                   "# QMT6171/2/3 register settings for the chip at 0x4C on I2C "
                                   "bus 3\n"
                                   "# Values of the chip at 0x4C, taken 2026-12-06 22:52:03\n"))
        << script;
    EXPECT_NE(script.find("set -e\n"
                          "i2cset -y 3 0x4C 0x09 0x0C b # Configuration Reg 1\n"
                          "i2cset -y 3 0x4C 0x0A 0x08 b # Conversion Rate\n"),
              std::string::npos)
        << script;
    // The chip shows Remote 2 at the shared pointers: Remote 1's rows were
    // not read, so they are not written.
    EXPECT_NE(script.find("\n# Remote 1 High Limit,High Byte (bit 3 Config Reg =0): not read, "
                          "the remote registers show Remote 2\n"),
              std::string::npos)
        << script;
    EXPECT_TRUE(script.ends_with("# Die Revision Code: 52H, read-only\n")) << script;

    Calls calls;
    EXPECT_EQ(RunScript(script, calls), 0);
    ASSERT_EQ(calls.size(), 22U);
    EXPECT_EQ(calls[2], "-y 3 0x4C 0x0B 0x4B b");
    EXPECT_EQ(calls[4], "-y 3 0x4C 0x0D 0x60 b"); // Remote 2's
    EXPECT_EQ(calls[5], "-y 3 0x4C 0x0E 0x00 b");
    EXPECT_EQ(calls.back(), "-y 3 0x4C 0x24 0x00 b");

    // A failed write stops the script there.
    EXPECT_NE(RunScript(script, calls, 2), 0);
    EXPECT_EQ(calls.size(), 2U);
}

TEST(RegisterScript, TheFilesRemoteRowsReachTheirChannelAndTheLockComesLast) {
    ScriptRig rig;
    const FileValues file = ReadFileValues("{\r\n0x9\t0x4\r\n0x24\t0x80\r\n0xB\t0x50\r\n"
                                           "0xD\t0x40\r\n0xD\t0x41\r\n0x31\t0x42\r\n"
                                           "0x0\t0x53\r\n}\r\n");
    const std::string script =
        I2csetScript(rig.table, rig.Rows(&file), ScriptValues::File,
                     {0, 0x18, "the settings file a\nrm -rf x\r.sav", "2026-12-06 22:52:03"});
    EXPECT_NE(script.find("# Values of the settings file a?rm -rf x?.sav, taken"),
              std::string::npos)
        << script;
    EXPECT_NE(script.find("# Conversion Rate: not in the file\n"), std::string::npos);
    EXPECT_NE(script.find("# Die Revision Code: 53H, read-only\n"), std::string::npos);
    Calls calls;
    EXPECT_EQ(RunScript(script, calls), 0);
    EXPECT_EQ(calls,
              (Calls{"-y 0 0x18 0x09 0x04 b", "-y 0 0x18 0x0B 0x50 b", "-y 0 0x18 0x0D 0x40 b",
                     "-y 0 0x18 0x09 0x0C b", "-y 0 0x18 0x0D 0x41 b", "-y 0 0x18 0x31 0x42 b",
                     "-y 0 0x18 0x09 0x04 b", "-y 0 0x18 0x24 0x80 b"}));

    // Without a Configuration Reg 1 of its own the script switches the
    // chip's and puts it back.
    const FileValues remotes = ReadFileValues("{\r\n0xD\t0x40\r\n0xD\t0x41\r\n}\r\n");
    const std::string switching = I2csetScript(rig.table, rig.Rows(&remotes), ScriptValues::File,
                                               {0, 0x18, "b.sav", "2026-12-06 22:52:03"});
    EXPECT_EQ(RunScript(switching, calls), 0);
    EXPECT_EQ(calls, (Calls{"-y 0 0x18 0x09 4 b", "-y 0 0x18 0x0D 0x40 b", "-y 0 0x18 0x09 12 b",
                            "-y 0 0x18 0x0D 0x41 b", "-y 0 0x18 0x09 0x0C b"}));
}

// Compiles the header with a main that prints its table as i2cset would be
// called ("-y BUS ADDR REG VALUE b"); the printed lines in `calls`.
bool RunCTable(const std::string& header, Calls& calls) {
    QTemporaryDir dir;
    std::ofstream(dir.filePath("settings.h").toStdString()) << header;
    std::ofstream(dir.filePath("main.c").toStdString())
        << "#include <stdio.h>\n#include \"settings.h\"\n"
           "int main(void) {\n"
           "    for (unsigned i = 0; i < sizeof qmt_register_writes / sizeof *qmt_register_writes;"
           " i++)\n"
           "        printf(\"-y 0 0x18 0x%02X 0x%02X b\\n\", qmt_register_writes[i].reg,\n"
           "               qmt_register_writes[i].value);\n"
           "    return 0;\n}\n";
    QProcess compiler;
    compiler.start(qmt::test::paths::CCompiler,
                   {"-std=c99", "-Wall", "-Wextra", "-Werror", "-pedantic", "-o",
                    dir.filePath("table"), dir.filePath("main.c")});
    if (!compiler.waitForFinished(60000) || compiler.exitCode() != 0) {
        ADD_FAILURE() << compiler.readAllStandardError().toStdString() << header;
        return false;
    }
    QProcess table;
    table.start(dir.filePath("table"));
    EXPECT_TRUE(table.waitForFinished(30000));
    calls.clear();
    for (const auto& line : table.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty()) {
            calls.push_back(line.toStdString());
        }
    }
    return true;
}

TEST(RegisterScript, TheCHeaderAndJsonWriteWhatTheScriptWritesInItsOrder) {
    ScriptRig rig;
    const FileValues file = ReadFileValues("{\r\n0x9\t0x4\r\n0x24\t0x80\r\n0xB\t0x50\r\n"
                                           "0xD\t0x40\r\n0xD\t0x41\r\n0x31\t0x42\r\n"
                                           "0x0\t0x53\r\n}\r\n");
    const ScriptHeader header{0, 0x18, "the settings file a*/b.sav", "2026-12-06 22:52:03"};
    Calls script;
    EXPECT_EQ(
        RunScript(I2csetScript(rig.table, rig.Rows(&file), ScriptValues::File, header), script), 0);
    const SettingsWrites plan = PlanSettingsWrites(rig.table, rig.Rows(&file), ScriptValues::File);
    const auto c = RegisterTableC(plan, header);
    ASSERT_TRUE(c);
    EXPECT_NE(c->find("{0x24, 0x80}, /* Configuration Reg 2"), std::string::npos) << *c;
    Calls table;
    ASSERT_TRUE(RunCTable(*c, table));
    EXPECT_EQ(table, script);

    const auto json = RegisterTableJson(plan, header);
    ASSERT_TRUE(json);
    const QJsonObject document = QJsonDocument::fromJson(QByteArray::fromStdString(*json)).object();
    EXPECT_EQ(document["address"].toInt(), 0x18);
    const QJsonArray writes = document["writes"].toArray();
    ASSERT_EQ(static_cast<std::size_t>(writes.size()), script.size());
    for (qsizetype i = 0; i < writes.size(); ++i) {
        const QJsonObject write = writes[i].toObject();
        EXPECT_EQ(ByteText(write["reg"].toInt()) + " " + ByteText(write["value"].toInt()),
                  script[static_cast<std::size_t>(i)].substr(10, 9));
    }

    // A file without Configuration Reg 1 needs the chip's, which only a
    // script can read: no table rather than a table that switches wrongly.
    const FileValues remotes = ReadFileValues("{\r\n0xD\t0x40\r\n0xD\t0x41\r\n}\r\n");
    const SettingsWrites reading =
        PlanSettingsWrites(rig.table, rig.Rows(&remotes), ScriptValues::File);
    EXPECT_FALSE(RegisterTableC(reading, header));
    EXPECT_FALSE(RegisterTableJson(reading, header));
}

} // namespace
} // namespace qmt::files
