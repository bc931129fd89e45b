#include "cli/cli_rig.h"
#include "cli/cli_settings_files.h"

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
    EXPECT_EQ(rig.Out({"write", "0x09", "0x44"}), "9h 44H 68\n"); // read back at 3h
    EXPECT_EQ(rig.bridge.log.back().index, 0x03);
    EXPECT_EQ(rig.Out({"--json", "write", "0x09", "7"}), "{\"pointer\":9,\"value\":7}\n");
    // A pointer that no register is written at has nothing to read back.
    EXPECT_EQ(rig.Out({"write", "0x0F", "1"}), "Fh 1H 1\n");
    EXPECT_EQ(rig.bridge.log.back().index, 1 * 256 + 0x0F);
}

// The chip's value is printed, not the one sent, and a write that did not
// take fails, naming the lock where bit 7 of Configuration Reg 2 explains it.
TEST(CliCommands, WriteReadsBackAndFailsWhenTheChipHoldsAnotherValue) {
    CliRig rig;
    const auto failure = [&rig](const QStringList& args) {
        try {
            rig.Run(args);
        } catch (const CommandFailure& thrown) {
            EXPECT_EQ(thrown.status(), ExitCommandFailed);
            return std::string(thrown.what());
        }
        ADD_FAILURE() << "no failure";
        return std::string();
    };
    // The stub keeps a write at 0x0B apart from its read pointer 0x05.
    EXPECT_EQ(failure({"write", "0x0B", "0x30"}),
              "not written as given: the chip holds 55H, not 30H");
    EXPECT_EQ(rig.out, "Bh 55H 85\n");
    rig.chip()[0x24] = 0x80;
    EXPECT_EQ(failure({"write", "0x0B", "0x30"}),
              "not written: the chip is locked (bit 7 of Configuration Reg 2)");
    const auto requests = rig.bridge.Count(222);
    EXPECT_EQ(rig.Out({"write", "--no-verify", "0x0B", "0x30"}), "Bh 30H 48\n");
    EXPECT_EQ(rig.bridge.Count(222), requests + 1); // the write alone
}

TEST(CliCommands, DumpReadsEveryRecordInTableOrder) {
    CliRig rig;
    const auto dump = rig.Out({"dump"});
    EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 32);
    EXPECT_TRUE(dump.starts_with("# shared remote registers show Remote 1 (bit 3 of "
                                 "Configuration Reg 1)\n0h 0H 0 Local Temp Value\n"))
        << dump;
    EXPECT_NE(dump.find("7h 55H 85 Remote 1 High Limit"), std::string::npos) << dump;
    EXPECT_EQ(dump.find("Remote 2 High Limit,High Byte (bit 3"), std::string::npos) << dump;
    EXPECT_TRUE(dump.ends_with("\nFFh 52H 82 Die Revision Code\n")) << dump;
    EXPECT_EQ(rig.bridge.Count(222), 32); // 03h first, then each row

    // While bit 3 selects Remote 2, the shared pointers' rows are Remote 2's.
    rig.chip()[0x03] = 0x08;
    const auto remote2 = rig.Out({"dump"});
    EXPECT_TRUE(remote2.starts_with("# shared remote registers show Remote 2")) << remote2;
    EXPECT_NE(remote2.find("7h 55H 85 Remote 2 High Limit"), std::string::npos) << remote2;
    EXPECT_EQ(remote2.find("Remote 1 High Limit,High Byte"), std::string::npos) << remote2;
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

    // An open diode reads FFh and 0 in either range; the status registers,
    // whose latched bits the program may be showing, are not read.
    chip[0x01] = 0xFF;
    chip[0x10] = 0x00;
    EXPECT_EQ(rig.Out({"temps"}), "Local 89\nRemote2 open\n");
    EXPECT_EQ(rig.Out({"--json", "temps"}),
              "{\"local\":89,\"open\":[\"remote2\"],\"remote1\":null,\"remote2\":null}\n");
    chip[0x03] = 0x04;
    chip[0x30] = 0xFF;
    chip[0x33] = 0x00;
    EXPECT_EQ(rig.Out({"temps"}), "Local 25\nRemote1 open\nRemote2 open\n");
    for (const auto& call : rig.bridge.Calls(222)) {
        EXPECT_NE(call.index, 0x02);
        EXPECT_NE(call.index, 0x23);
    }
}

} // namespace
} // namespace qmt::cli
