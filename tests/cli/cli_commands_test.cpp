#include "cli/cli_rig.h"

#include <algorithm>

namespace qmt::cli {
namespace {

TEST(CliCommands, DetectReadAndWriteInThePanelsForms) {
    CliRig rig;
    rig.chip()[0x03] = 0x0C;
    EXPECT_EQ(rig.Out({"detect"}), "Found an QMT6171/2/3 at 4Ch\n");
    EXPECT_EQ(rig.Out({"--json", "detect"}), "{\"address\":76}\n");
    EXPECT_EQ(rig.Out({"read", "0xFE", "3", "10h"}), "FEh 41H 65\n3h CH 12\n10h 0H 0\n");
    EXPECT_EQ(rig.Out({"--json", "read", "0xFE"}), "[{\"pointer\":254,\"value\":65}]\n");
    EXPECT_EQ(rig.Out({"write", "0x0B", "300"}), "Bh FFH 255\n");
    EXPECT_EQ(rig.bridge.log.back().index, 255 * 256 + 0x0B);
    EXPECT_EQ(rig.Out({"--json", "write", "0x0B", "7"}), "{\"pointer\":11,\"value\":7}\n");
}

TEST(CliCommands, DumpReadsEveryRecordInTableOrder) {
    CliRig rig;
    const auto dump = rig.Out({"dump"});
    EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 40);
    EXPECT_TRUE(dump.starts_with("0h 0H 0 Local Temp Value\n")) << dump;
    EXPECT_TRUE(dump.ends_with("\nFFh 52H 82 Die Revision Code\n")) << dump;
    EXPECT_EQ(rig.bridge.Count(222), 40);
    EXPECT_TRUE(rig.Out({"--json", "dump"})
                    .starts_with(R"([{"name":"Local Temp Value","pointer":0,"value":0},)"));
}

TEST(CliCommands, TempsReadsLikeTheMonitoringCycleInTheChipsRange) {
    CliRig rig;
    auto& chip = rig.chip();
    chip[0x03] = 0x04; // extended range: codes are 64 above the temperature
    chip[0x00] = 25 + 64;
    chip[0x01] = 30 + 64;
    chip[0x10] = 0x40;
    chip[0x30] = 28 + 64;
    chip[0x33] = 0x80;
    EXPECT_EQ(rig.Out({"temps"}), "Local 25\nRemote1 30.25\nRemote2 28.5\n");

    chip[0x03] = 0x08; // the normal range; the remote pointers show Remote 2
    EXPECT_EQ(rig.Out({"temps"}), "Local 89\nRemote2 94.25\n");
    EXPECT_EQ(rig.Out({"--json", "temps"}), "{\"local\":89,\"remote1\":null,\"remote2\":94.25}\n");
}

} // namespace
} // namespace qmt::cli
