#include "cli/cli_run.h"

#include "cli/cli_compare.h"
#include "cli/cli_output.h"
#include "cli/cli_settings_files.h"
#include "cli/stop_signals.h"
#include "cli/stream_progress.h"
#include "link/clock.h"
#include "link/connection_sequence.h"
#include "link/executable_folder.h"
#include "link/temperature_reading.h"
#include "model/reg_map.h"

#include <ostream>

namespace qmt::cli {

namespace {

constexpr std::int32_t ConfigurationWritePointer = 0x09;

// Prints the message and returns, so the failing request ends in
// link::LinkFailure, which RunQmtctl turns into ExitLinkFailure.
class PrintingLinkErrorHandler final : public link::LinkErrorHandler {
public:
    explicit PrintingLinkErrorHandler(std::ostream& err) : err_(err) {}
    void ReportLinkError(link::LinkError code) override {
        err_ << link::LinkErrorMessage(code) << '\n';
    }
    void ExplainLinkError(const std::string& reason) override {
        err_ << "qmtctl: " << reason << '\n';
    }

private:
    std::ostream& err_;
};

RegisterReading Read(link::RegisterAccess& access, std::int32_t pointer) {
    return {pointer, access.ReadRegister(access.usb().DeviceAddress, pointer), {}};
}

void PrintRegisters(const std::vector<RegisterReading>& readings, bool json, std::ostream& out) {
    if (json) {
        out << RegistersJson(readings) << '\n';
        return;
    }
    for (const auto& reading : readings) {
        out << RegisterLine(reading) << '\n';
    }
}

// The monitoring cycle's reading, in the range and channel mode the chip is
// set to now. While the remote pointers show Remote 2, their reading is
// Remote 2's and Remote 1 is not measured, as the program's graph shows it.
Temperatures ReadInChipRange(link::RegisterAccess& access) {
    access.UpdateRemoteSelection(ConfigurationWritePointer);
    link::ReadTemperatures(access);
    const auto& state = access.state();
    if (state.Remote2Selected) {
        return {state.LocalTemp, std::nullopt, state.Remote1Temp};
    }
    return {state.LocalTemp, state.Remote1Temp, state.Remote2Temp};
}

} // namespace

int RunCommand(const CliOptions& options, link::RegisterAccess& access, std::ostream& out) {
    const auto address = access.usb().DeviceAddress;
    switch (options.command) {
    case Command::Detect:
        out << (options.json ? FoundJson(address) : link::FoundChipText(address)) << '\n';
        break;
    case Command::Read: {
        std::vector<RegisterReading> readings;
        for (const auto pointer : options.registers) {
            readings.push_back(Read(access, pointer));
        }
        PrintRegisters(readings, options.json, out);
        break;
    }
    case Command::Write: {
        // The value as written: above 255 the write limits it to 255.
        auto value = options.value;
        const auto pointer = options.registers.front();
        access.WriteRegister(address, pointer, value);
        const RegisterReading written{pointer, value, {}};
        out << (options.json ? RegisterJson(written) : RegisterLine(written)) << '\n';
        break;
    }
    case Command::Dump: {
        model::RegMapStuff table;
        table.FillRegMap();
        std::vector<RegisterReading> readings;
        for (int index = 1; index < model::RegMapSize; ++index) {
            const auto& entry = table.RegMap[static_cast<std::size_t>(index)];
            auto reading = Read(access, entry.ReadAddress);
            reading.name = entry.Name;
            readings.push_back(std::move(reading));
        }
        PrintRegisters(readings, options.json, out);
        break;
    }
    case Command::Save:
        RunSave(options, access, out);
        break;
    case Command::Recall:
        RunRecall(options, access, out);
        break;
    case Command::Diff:
        return RunDiff(options, access, out);
    case Command::Export:
        RunExport(options, access, out);
        break;
    case Command::Log:
        // Needs the clock and the error stream: RunQmtctl runs it through RunLog.
        return ExitUsage;
    case Command::Temps: {
        const auto temps = ReadInChipRange(access);
        if (options.json) {
            out << TemperaturesJson(temps) << '\n';
        } else {
            for (const auto& line : TemperatureLines(temps)) {
                out << line << '\n';
            }
        }
        break;
    }
    }
    return ExitDone;
}

int RunQmtctl(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    const auto parsed = ParseCliArguments(arguments);
    if (parsed.outcome == ParseOutcome::Help) {
        out << parsed.text;
        return ExitDone;
    }
    if (parsed.outcome == ParseOutcome::UsageError) {
        err << "qmtctl: " << parsed.text << '\n';
        return ExitUsage;
    }
    const auto& options = parsed.options;
    if (options.command == Command::Export && !options.file.empty()) {
        // A file's script needs no chip.
        try {
            RunFileExport(options, out);
            return ExitDone;
        } catch (const CommandFailure& failure) {
            err << "qmtctl: " << failure.what() << '\n';
            return failure.status();
        }
    }

    std::string error;
    const auto bridge = link::OpenBridge(options.bridge, error);
    if (!bridge) {
        err << "qmtctl: " << error << '\n';
        // A bridge library that cannot be used fails like its firmware
        // download; an i2c-dev device has no firmware, its one line says all.
        if (options.bridge.i2cDevice.empty()) {
            err << link::LinkErrorMessage(link::LinkError::FirmwareDownload) << '\n';
        }
        return ExitLinkFailure;
    }
    link::USBStuff usb;
    GeneralStuff state;
    PrintingLinkErrorHandler errors(err);
    link::RegisterAccess access(*bridge, usb, state, errors);
    link::SystemClock clock;
    StreamProgress progress(options.verbose ? &err : nullptr);
    // The pauses that only let a person read the splash window are left out.
    link::ConnectionOptions connection{link::ExecutableFolder(), true, options.address};
    try {
        link::ConnectionSequence(access, clock, progress, connection).Run();
        if (options.command == Command::Log) {
            const StopSignals stopOnSignal;
            return RunLog(options.log, access, clock, StopSignals::Requested, out, err,
                          options.verbose ? &err : nullptr);
        }
        return RunCommand(options, access, out);
    } catch (const link::LinkFailure&) {
        return ExitLinkFailure;
    } catch (const CommandFailure& failure) {
        err << "qmtctl: " << failure.what() << '\n';
        return failure.status();
    }
}

} // namespace qmt::cli
