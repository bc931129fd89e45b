#include "cli/cli_run.h"
#include "link/register_access.h"
#include "support/recording_link_error_handler.h"
#include "support/stub_bridge.h"

#include <gtest/gtest.h>
#include <sstream>

namespace qmt::cli {
namespace {

using test::StubBridge;

// A connected chip at 0x4C behind a scripted bridge.
struct CommandRig {
    CommandRig() {
        bridge.AddChip(0x4C);
        usb.DeviceAddress = 0x4C;
    }
    std::string Run(Command command, std::vector<std::int32_t> registers = {},
                    std::int32_t value = 0, bool json = false) {
        CliOptions options;
        options.command = command;
        options.registers = std::move(registers);
        options.value = value;
        options.json = json;
        std::ostringstream out;
        EXPECT_EQ(RunCommand(options, access, out), ExitDone);
        return out.str();
    }
    std::vector<std::int32_t> ReadPointers() const {
        std::vector<std::int32_t> pointers;
        for (const auto& call : bridge.Calls(222)) {
            pointers.push_back(call.index);
        }
        return pointers;
    }

    StubBridge bridge;
    link::USBStuff usb;
    GeneralStuff state;
    test::RecordingLinkErrorHandler errors;
    link::RegisterAccess access{bridge, usb, state, errors};
};

TEST(CliCommands, ReadAndWriteInThePanelsForms) {
    CommandRig rig;
    rig.bridge.chips[0x4C][0x03] = 0x0C;
    EXPECT_EQ(rig.Run(Command::Read, {0xFE, 0x03, 0x10}), "FEh 41H 65\n3h CH 12\n10h 0H 0\n");
    EXPECT_EQ(rig.Run(Command::Read, {0xFE}, 0, true), R"([{"pointer":254,"value":65}])"
                                                       "\n");
    EXPECT_EQ(rig.Run(Command::Detect), "Found an QMT6171/2/3 at 4Ch\n");
    EXPECT_EQ(rig.Run(Command::Detect, {}, 0, true), R"({"address":76})"
                                                     "\n");

    EXPECT_EQ(rig.Run(Command::Write, {0x0B}, 300), "Bh FFH 255\n");
    EXPECT_EQ(rig.bridge.log.back().index, 255 * 256 + 0x0B);
    EXPECT_EQ(rig.Run(Command::Write, {0x0B}, 7, true), R"({"pointer":11,"value":7})"
                                                        "\n");
}

TEST(CliCommands, DumpReadsEveryRecordInTableOrder) {
    CommandRig rig;
    std::istringstream lines(rig.Run(Command::Dump));
    std::vector<std::string> dump;
    for (std::string line; std::getline(lines, line);) {
        dump.push_back(line);
    }
    ASSERT_EQ(dump.size(), 40u);
    EXPECT_EQ(dump.front(), "0h 0H 0 Local Temp Value");
    EXPECT_EQ(dump[4], "3h 0H 0 Configuration Reg 1");
    EXPECT_EQ(dump.back(), "FFh 0H 0 Die Revision Code");
    EXPECT_EQ(rig.ReadPointers().size(), 40u);

    CommandRig json;
    const auto text = json.Run(Command::Dump, {}, 0, true);
    EXPECT_EQ(text.rfind(R"([{"name":"Local Temp Value","pointer":0,"value":0},)", 0), 0u) << text;
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
    EXPECT_EQ(rig.ReadPointers(), (std::vector<std::int32_t>{0x03, 0x00, 0x10, 0x01, 0x33, 0x30}));
    EXPECT_TRUE(rig.state.ExtendedRange);

    chip[0x03] = 0x00;
    chip[0x00] = 0;
    EXPECT_EQ(rig.Run(Command::Temps, {}, 0, true), R"({"local":0,"remote1":94.25,"remote2":92.5})"
                                                    "\n");
}

} // namespace
} // namespace qmt::cli
