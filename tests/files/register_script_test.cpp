#include "files/register_script.h"
#include "files/settings_save.h"
#include "link/link_rig.h"
#include "support/stub_bridge.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qmt::files {
namespace {

constexpr std::int32_t Chip = 0x4C;

// Rows of a chip whose settings are the defaults but for a few.
struct ScriptRig : test::LinkRig<test::StubBridge> {
    ScriptRig() {
        table.FillRegMap();
        bridge.AddChip(Chip);
        usb.DeviceAddress = Chip;
        for (const int index : table.SaveWalk()) {
            const auto& entry = table.RegMap[static_cast<std::size_t>(index)];
            bridge.chips[Chip][entry.ReadAddress] = static_cast<std::uint8_t>(entry.DefaultValue);
        }
        bridge.chips[Chip][0x03] = 0x0C;
        bridge.chips[Chip][0x05] = 0x4B;
        bridge.chips[Chip][0x07] = 0x60;
    }
    std::vector<CompareRow> Rows(const FileValues* file = nullptr) {
        return BuildCompareRows(table, ReadSavedRegisters(table, access, false), file);
    }
    model::RegMapStuff table;
};

const ScriptHeader Header{3, Chip, "the chip at 0x4C", "2026-12-06 22:52:03"};

// Runs the script with a fake i2cset first in PATH that records its
// arguments, one call a line, and fails at call `failAt` (0: never).
struct FakeI2cset {
    explicit FakeI2cset(int failAt = 0) {
        QFile fake(dir.filePath("bin/i2cset"));
        EXPECT_TRUE(QDir(dir.path()).mkdir("bin"));
        EXPECT_TRUE(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\necho \"$*\" >> \"$I2CSET_LOG\"\n");
        if (failAt > 0) {
            fake.write(QByteArray("[ $(wc -l < \"$I2CSET_LOG\") -lt ") +
                       QByteArray::number(failAt) + " ] || exit 1\n");
        }
        fake.close();
        fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // The exit status of the script; the recorded calls in `calls`.
    int Run(const std::string& script) {
        QFile file(dir.filePath("settings.sh"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script.data(), static_cast<qint64>(script.size()));
        file.close();
        QProcess shell;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", dir.filePath("bin") + ":" + environment.value("PATH"));
        environment.insert("I2CSET_LOG", dir.filePath("calls.txt"));
        shell.setProcessEnvironment(environment);
        shell.start("sh", {file.fileName()});
        EXPECT_TRUE(shell.waitForFinished(30000));
        QFile log(dir.filePath("calls.txt"));
        calls.clear();
        if (log.open(QIODevice::ReadOnly)) {
            for (const auto& line : log.readAll().split('\n')) {
                if (!line.isEmpty()) {
                    calls.push_back(line.toStdString());
                }
            }
        }
        return shell.exitCode();
    }
    QTemporaryDir dir;
    std::vector<std::string> calls;
};

TEST(RegisterScript, TheChipsValuesInWalkOrderWithReadOnlyRowsAsComments) {
    ScriptRig rig;
    const std::string script = I2csetScript(rig.Rows(), ScriptValues::Chip, Header);
    EXPECT_TRUE(script.starts_with(
        "#!/bin/sh\n"
        "# QMT6171/2/3 register settings for the chip at 0x4C on I2C bus 3\n"
        "# Values of the chip at 0x4C, taken 2026-12-06 22:52:03\n"
        "# Configuration Reg 1 comes first, so the remote registers after it reach the\n"
        "# channel it selects.\n"
        "set -e\n"
        "i2cset -y 3 0x4C 0x09 0x0C b # Configuration Reg 1\n"
        "i2cset -y 3 0x4C 0x0A 0x08 b # Conversion Rate\n"
        "i2cset -y 3 0x4C 0x0B 0x4B b # Local Temp High Limit\n"))
        << script;
    EXPECT_NE(script.find("i2cset -y 3 0x4C 0x0D 0x60 b # Remote 1 High Limit,High Byte (bit 3 "
                          "Config Reg =0)\n"
                          "i2cset -y 3 0x4C 0x0D 0x60 b # Remote 2 High Limit,High Byte (bit 3 "
                          "Config Reg =1)\n"),
              std::string::npos);
    EXPECT_TRUE(script.ends_with("i2cset -y 3 0x4C 0x39 0x55 b # Remote 2 Therm Limit\n"
                                 "# Die Revision Code: 52H, read-only\n"))
        << script;

    FakeI2cset i2cset;
    EXPECT_EQ(i2cset.Run(script), 0);
    ASSERT_EQ(i2cset.calls.size(), 29U);
    EXPECT_EQ(i2cset.calls[0], "-y 3 0x4C 0x09 0x0C b");
    EXPECT_EQ(i2cset.calls[2], "-y 3 0x4C 0x0B 0x4B b");
    EXPECT_EQ(i2cset.calls[5], "-y 3 0x4C 0x0D 0x60 b");
    EXPECT_EQ(i2cset.calls[28], "-y 3 0x4C 0x39 0x55 b");
}

TEST(RegisterScript, TheFilesValuesSkipWhatTheFileLacksAndAFailedWriteStopsTheScript) {
    ScriptRig rig;
    const FileValues file = ReadFileValues("{\r\n0x9\t0x4\r\n0xB\t0x50\r\n0x0\t0x53\r\n}\r\n");
    const std::string script =
        I2csetScript(rig.Rows(&file), ScriptValues::File,
                     {0, 0x18, "the settings file a.sav", "2026-12-06 22:52:03"});
    EXPECT_NE(script.find("# Values of the settings file a.sav, taken 2026-12-06 22:52:03\n"),
              std::string::npos);
    EXPECT_NE(script.find("# Conversion Rate: not in the file\n"), std::string::npos);
    EXPECT_NE(script.find("# Die Revision Code: 53H, read-only\n"), std::string::npos);

    FakeI2cset i2cset;
    EXPECT_EQ(i2cset.Run(script), 0);
    EXPECT_EQ(i2cset.calls,
              (std::vector<std::string>{"-y 0 0x18 0x09 0x04 b", "-y 0 0x18 0x0B 0x50 b"}));

    FakeI2cset failing(2);
    EXPECT_NE(failing.Run(I2csetScript(rig.Rows(), ScriptValues::Chip, Header)), 0);
    EXPECT_EQ(failing.calls.size(), 2U);
    EXPECT_EQ(ByteText(0), "0x00");
    EXPECT_EQ(ByteText(0xFE), "0xFE");
}

} // namespace
} // namespace qmt::files
