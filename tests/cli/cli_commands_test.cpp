#include "cli/cli_run.h"
#include "link/link_rig.h"
#include "support/stub_bridge.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace qmt::cli {
namespace {

// A connected chip at 0x4C behind a scripted bridge.
struct CommandRig : test::LinkRig<test::StubBridge> {
    CommandRig() {
        bridge.AddChip(0x4C);
        usb.DeviceAddress = 0x4C;
    }
    std::string Run(Command command, std::vector<std::int32_t> registers = {},
                    std::int32_t value = 0, bool json = false) {
        CliOptions cli;
        cli.command = command;
        cli.registers = std::move(registers);
        cli.value = value;
        cli.json = json;
        std::ostringstream out;
        EXPECT_EQ(RunCommand(cli, access, out), ExitDone);
        return out.str();
    }
};

TEST(CliCommands, DetectReadAndWriteInThePanelsForms) {
    CommandRig rig;
    rig.bridge.chips[0x4C][0x03] = 0x0C;
    EXPECT_EQ(rig.Run(Command::Detect), "Found an QMT6171/2/3 at 4Ch\n");
    EXPECT_EQ(rig.Run(Command::Detect, {}, 0, true), "{\"address\":76}\n");
    EXPECT_EQ(rig.Run(Command::Read, {0xFE, 0x03, 0x10}), "FEh 41H 65\n3h CH 12\n10h 0H 0\n");
    EXPECT_EQ(rig.Run(Command::Read, {0xFE}, 0, true), "[{\"pointer\":254,\"value\":65}]\n");
    EXPECT_EQ(rig.Run(Command::Write, {0x0B}, 300), "Bh FFH 255\n");
    EXPECT_EQ(rig.bridge.log.back().index, 255 * 256 + 0x0B);
    EXPECT_EQ(rig.Run(Command::Write, {0x0B}, 7, true), "{\"pointer\":11,\"value\":7}\n");
}

TEST(CliCommands, DumpReadsEveryRecordInTableOrder) {
    CommandRig rig;
    const auto dump = rig.Run(Command::Dump);
    EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 40);
    EXPECT_TRUE(dump.starts_with("0h 0H 0 Local Temp Value\n")) << dump;
    EXPECT_TRUE(dump.ends_with("\nFFh 0H 0 Die Revision Code\n")) << dump;
    EXPECT_EQ(rig.bridge.Count(222), 40);
    EXPECT_TRUE(rig.Run(Command::Dump, {}, 0, true)
                    .starts_with(R"([{"name":"Local Temp Value","pointer":0,"value":0},)"));
}

TEST(CliCommands, TempsReadsLikeTheMonitoringCycleInTheChipsRange) {
    CommandRig rig;
    auto& chip = rig.bridge.chips[0x4C];
    chip[0x03] = 0x04; // extended range: codes are 64 above the temperature
    chip[0x00] = 25 + 64;
    chip[0x01] = 30 + 64;
    chip[0x10] = 0x40;
    chip[0x30] = 28 + 64;
    chip[0x33] = 0x80;
    EXPECT_EQ(rig.Run(Command::Temps), "Local 25\nRemote1 30.25\nRemote2 28.5\n");

    chip[0x03] = 0x08; // the normal range; the remote pointers show Remote 2
    EXPECT_EQ(rig.Run(Command::Temps), "Local 89\nRemote2 94.25\n");
    EXPECT_EQ(rig.Run(Command::Temps, {}, 0, true),
              "{\"local\":89,\"remote1\":null,\"remote2\":94.25}\n");
}

} // namespace
} // namespace qmt::cli
