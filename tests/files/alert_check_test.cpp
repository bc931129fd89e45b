#include "files/register_keeper.h"
#include "link/alert_check.h"
#include "link/register_access.h"
#include "model/reg_map.h"
#include "support/fake_clock.h"
#include "support/recording_link_error_handler.h"
#include "support/test_paths.h"
#include "tarnlink_emulator.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace qmt::test {
namespace {

using model::CheckReport;
using model::Verdict;

constexpr std::int32_t Chip = 0x4C;
// Settings registers at their read pointers, and those of the shared
// remote pointers (read once per channel).
constexpr std::int32_t OwnRegisters[] = {0x03, 0x04, 0x05, 0x06, 0x20, 0x21, 0x22, 0x24,
                                         0x31, 0x32, 0x34, 0x35, 0x36, 0x37, 0x39};
constexpr std::int32_t SharedRegisters[] = {0x07, 0x08, 0x11, 0x12, 0x13, 0x14, 0x19};

// The emulated board on the test's clock, counting the writes that reach it.
class MovingBridge final : public link::Bridge {
public:
    explicit MovingBridge(FakeClock& clock)
        : emulator_([&clock] { return static_cast<std::uint64_t>(clock.ElapsedMs()); }) {}
    std::int16_t LoadFirmWare(const char* /*path*/) override {
        return emulator_.LoadFirmWare(paths::Firmware);
    }
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override {
        writes += request == tarnlink::RequestRegister && arg4 == 0 ? 1 : 0;
        return emulator_.VendorIORequest(request, value, index, arg4, arg5, buffer);
    }
    tarnlink::Emulator& emulator() { return emulator_; }
    int writes = 0;

private:
    tarnlink::Emulator emulator_;
};

// One board, its chip connected, and a check ready to run on it.
struct CheckRig {
    explicit CheckRig(const std::string& boardText) {
        std::string error;
        EXPECT_TRUE(bridge.emulator().LoadBoardText(boardText, error)) << error;
        EXPECT_EQ(bridge.LoadFirmWare(nullptr), tarnlink::FirmwareOk);
        std::uint8_t byte = 0;
        bridge.VendorIORequest(tarnlink::RequestConnect, 48, 51, 0, 0, &byte);
        usb.DeviceAddress = Chip;
        table.FillRegMap();
    }

    // Every settings register, Remote 1's and Remote 2's behind the shared
    // pointers alike (switching bit 3 for the moment).
    std::map<std::string, std::int32_t> Settings() {
        std::map<std::string, std::int32_t> values;
        for (const std::int32_t pointer : OwnRegisters) {
            values[std::to_string(pointer)] = access.ReadRegister(Chip, pointer);
        }
        std::int32_t config = values["3"];
        for (const std::int32_t bit3 : {0x00, 0x08}) {
            std::int32_t select = (config & ~0x08) | bit3;
            access.WriteRegister(Chip, 0x09, select);
            for (const std::int32_t pointer : SharedRegisters) {
                values[std::to_string(pointer) + "/" + std::to_string(bit3)] =
                    access.ReadRegister(Chip, pointer);
            }
        }
        access.WriteRegister(Chip, 0x09, config);
        return values;
    }

    // Runs the check to its end as a caller with a timer would; false if it
    // has not ended after `steps` calls.
    bool RunFor(std::size_t steps) {
        for (std::size_t i = 0; i < steps; ++i) {
            const auto wait = check.Next();
            if (!wait) {
                return true;
            }
            clock.AdvanceMs(*wait);
        }
        return false;
    }

    FakeClock clock;
    MovingBridge bridge{clock};
    link::USBStuff usb;
    GeneralStuff state;
    RecordingLinkErrorHandler errors;
    link::RegisterAccess access{bridge, usb, state, errors};
    model::RegMapStuff table;
    link::PolledStatus status{access};
    files::SettingsKeeper keeper{table, access};
    link::AlertCheck check{access, status, keeper};
};

std::string Verdicts(const CheckReport& report) {
    std::string text;
    for (const auto& step : report.steps) {
        text += model::StepName(step.step) + ": " + model::VerdictText(step.verdict) + " (" +
                step.detail + ")\n";
    }
    return text;
}

std::vector<std::string> Failed(const CheckReport& report) {
    std::vector<std::string> names;
    for (const auto& step : report.steps) {
        if (step.verdict == Verdict::Fail) {
            names.push_back(model::StepName(step.step));
        }
    }
    return names;
}

TEST(AlertCheck, EveryStepPassesOnACorrectChipWhichEndsAsItWas) {
    // The extended range with limits of 85 °C (code 149) and 75.25 °C.
    const std::string extended = "reg.0x03 = 0x04\nreg.0x05 = 0x95\nreg.0x07 = 0x8B\n"
                                 "reg.0x19 = 0x95\nreg.0x20 = 0x95\nreg.0x31 = 0x95\n"
                                 "reg.0x39 = 0x95\n";
    for (const std::string& extra :
         {std::string(), extended, std::string("reg.0x03 = 0x08\n"),
          std::string("reg.0x04 = 0x88\nreg.0x05 = 0x50\nreg.0x22 = 0x06\n")}) {
        SCOPED_TRACE(extra);
        CheckRig rig("reg.0x07 = 0x4B\nreg.0x13 = 0x40\nreg.0x36 = 0xC0\n" + extra);
        const auto before = rig.Settings();
        const std::string configBefore = std::to_string(rig.access.ReadRegister(Chip, 0x03));
        const auto start = rig.clock.ElapsedMs();
        ASSERT_TRUE(rig.RunFor(100));
        const CheckReport& report = rig.check.Report();
        EXPECT_LT(rig.clock.ElapsedMs() - start, 10'000) << "bounded by the conversions";
        ASSERT_EQ(report.steps.size(), link::AlertCheck::StepCount());
        for (const auto& step : report.steps) {
            EXPECT_EQ(step.verdict, Verdict::Pass) << Verdicts(report);
        }
        EXPECT_TRUE(model::CheckPassed(report));
        EXPECT_TRUE(report.notRestored.empty());
        EXPECT_EQ(rig.Settings(), before) << "every writable register as it was";
        EXPECT_EQ(rig.state.Remote2Selected, extra == "reg.0x03 = 0x08\n");
        EXPECT_EQ(std::to_string(rig.access.ReadRegister(Chip, 0x03)), configBefore);
    }
}

TEST(AlertCheck, AFaultyChipFailsExactlyTheStepOfItsFault) {
    const std::pair<std::string, std::string> faults[] = {
        {"high_trips_late = 3", "Local High"},
        {"never_trips = remote2.low", "Remote 2 Low"},
        {"never_trips = remote1.therm", "Remote 1 THERM"},
        {"mask_ignored = remote1", "Remote 1 Mask"},
        {"alert_stuck = on", "Local High (set back)"},
    };
    for (const auto& [key, step] : faults) {
        SCOPED_TRACE(key);
        CheckRig rig(key + "\n");
        const auto before = rig.Settings();
        ASSERT_TRUE(rig.RunFor(100));
        const CheckReport& report = rig.check.Report();
        EXPECT_EQ(Failed(report), std::vector<std::string>{step}) << Verdicts(report);
        bool failed = false;
        for (const auto& result : report.steps) {
            EXPECT_EQ(result.verdict,
                      failed ? Verdict::NotChecked
                             : (result.verdict == Verdict::Fail ? Verdict::Fail : Verdict::Pass))
                << Verdicts(report);
            failed = failed || result.verdict == Verdict::Fail;
        }
        EXPECT_FALSE(model::CheckPassed(report));
        EXPECT_EQ(rig.Settings(), before);
    }
}

TEST(AlertCheck, CancelledOrCutOffItPutsBackWhatItCanAndNamesTheRest) {
    CheckRig cancelled("");
    const auto before = cancelled.Settings();
    EXPECT_FALSE(cancelled.RunFor(4));
    cancelled.check.Cancel();
    EXPECT_TRUE(cancelled.check.Finished());
    EXPECT_TRUE(cancelled.check.Report().cancelled);
    EXPECT_EQ(cancelled.check.Report().steps.back().detail, "not run: the check was cancelled");
    EXPECT_FALSE(cancelled.check.Next());
    EXPECT_EQ(cancelled.Settings(), before);

    // The board is unplugged in the middle of Local's steps.
    CheckRig cut("fail_after = 90\n");
    EXPECT_TRUE(cut.RunFor(100));
    const CheckReport& report = cut.check.Report();
    EXPECT_TRUE(report.linkLost);
    EXPECT_FALSE(model::CheckPassed(report));
    EXPECT_EQ(report.steps.size(), link::AlertCheck::StepCount());
    EXPECT_EQ(report.steps.back().detail, "not run: the link to the board was lost");
    EXPECT_EQ(report.notRestored,
              (std::vector<std::string>{
                  "Local high limit: set to 23 °C by the check, with the channel masked",
                  "no register could be read back: the link to the board "
                  "was lost"}));
}

TEST(AlertCheck, WritesNothingWhereItCannotCheck) {
    // Locked: judged read-only from the status the chip shows.
    CheckRig locked("reg.0x24 = 0x80\nremote2 = open\nreg.0x03 = 0x01\n");
    ASSERT_TRUE(locked.RunFor(2));
    const CheckReport& report = locked.check.Report();
    EXPECT_EQ(locked.bridge.writes, 0);
    EXPECT_NE(report.note.find("checked read-only"), std::string::npos);
    EXPECT_EQ(model::CellVerdict(report, 0, model::CheckColumn::High), Verdict::Pass);
    EXPECT_EQ(model::CellVerdict(report, 1, model::CheckColumn::Therm), Verdict::Pass);
    EXPECT_EQ(model::CellVerdict(report, 0, model::CheckColumn::Mask), Verdict::NotChecked);
    EXPECT_EQ(model::CellDetail(report, 2, model::CheckColumn::Low),
              "Remote 2 Low: not checked (not checked: the diode is open)\n"
              "Remote 2 Low (set back): not checked (not checked: the diode is open)");
    EXPECT_TRUE(model::CheckPassed(report));

    CheckRig standby("reg.0x03 = 0x40\n");
    ASSERT_TRUE(standby.RunFor(2));
    EXPECT_EQ(standby.bridge.writes, 0);
    EXPECT_EQ(model::CellVerdict(standby.check.Report(), 1, model::CheckColumn::High),
              Verdict::NotChecked);

    // A reading at the bottom of the range leaves no room below it.
    CheckRig cold("local = 1\nremote1 = 0.5\n");
    ASSERT_TRUE(cold.RunFor(100));
    EXPECT_EQ(model::CellVerdict(cold.check.Report(), 0, model::CheckColumn::High),
              Verdict::NotChecked);
    EXPECT_EQ(model::CellVerdict(cold.check.Report(), 0, model::CheckColumn::Low), Verdict::Pass);
    EXPECT_EQ(model::CellVerdict(cold.check.Report(), 1, model::CheckColumn::Therm),
              Verdict::NotChecked);
    EXPECT_TRUE(model::CheckPassed(cold.check.Report())) << Verdicts(cold.check.Report());
}

} // namespace
} // namespace qmt::test
