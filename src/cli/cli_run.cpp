#include "cli/cli_run.h"

#include "cli/cli_batch.h"
#include "cli/cli_check_alerts.h"
#include "cli/cli_compare.h"
#include "cli/cli_output.h"
#include "cli/cli_register_commands.h"
#include "cli/cli_settings_files.h"
#include "cli/stop_signals.h"
#include "link/clock.h"
#include "link/connection_sequence.h"
#include "link/executable_folder.h"
#include "link/stream_progress.h"

#include <fstream>
#include <istream>
#include <ostream>

namespace qmt::cli {

namespace {

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
    case Command::Write:
        RunWrite(options, access, out);
        break;
    case Command::Dump:
        RunDump(options, access, out);
        break;
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
    case Command::Batch:
    case Command::CheckAlerts:
        // They need more than the chip: RunOnChip and RunQmtctl run them.
        return ExitUsage;
    case Command::Temps:
        RunTemps(options, access, out);
        break;
    }
    return ExitDone;
}

int RunOnChip(const CliOptions& options, link::RegisterAccess& access, link::Clock& clock,
              std::ostream& out, std::ostream& err) {
    if (options.command == Command::Log) {
        const StopSignals stopOnSignal;
        return RunLog(options.log, access, clock, StopSignals::Requested, out, err,
                      options.verbose ? &err : nullptr);
    }
    if (options.command == Command::CheckAlerts) {
        const StopSignals stopOnSignal;
        return RunCheckAlerts(access, clock, StopSignals::Requested, options.json, out,
                              options.verbose ? &err : nullptr);
    }
    if (IsFileExport(options)) {
        RunFileExport(options, out);
        return ExitDone;
    }
    return RunCommand(options, access, out);
}

namespace {

// Opens the bridge, connects and runs the command, or the batch's lines.
int RunConnected(const CliOptions& options, std::istream& lines, std::ostream& out,
                 std::ostream& err) {
    std::string error;
    const auto bridge = link::OpenBridge(options.bridge, error);
    if (!bridge) {
        // The one line names the library or device file and why it cannot be used.
        err << "qmtctl: " << error << '\n';
        return ExitLinkFailure;
    }
    link::USBStuff usb;
    GeneralStuff state;
    PrintingLinkErrorHandler errors(err);
    link::RegisterAccess access(*bridge, usb, state, errors);
    link::SystemClock clock;
    link::StreamProgress progress(options.verbose ? &err : nullptr);
    // The pauses that only let a person read the splash window are left out.
    link::ConnectionOptions connection{link::ExecutableFolder(), true, options.address};
    try {
        link::ConnectionSequence(access, clock, progress, connection).Run();
        if (options.command == Command::Batch) {
            return RunBatch(
                lines, options,
                [&](const CliOptions& line) { return RunOnChip(line, access, clock, out, err); },
                out, err);
        }
        return RunOnChip(options, access, clock, out, err);
    } catch (const link::LinkFailure&) {
        return ExitLinkFailure;
    } catch (const CommandFailure& failure) {
        err << "qmtctl: " << failure.what() << '\n';
        return failure.status();
    }
}

// RunQmtctl without the final check of the output.
int RunTool(const QStringList& arguments, std::istream& in, std::ostream& out, std::ostream& err) {
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
    if (IsFileExport(options)) {
        // A file's script needs no chip.
        try {
            RunFileExport(options, out);
            return ExitDone;
        } catch (const CommandFailure& failure) {
            err << "qmtctl: " << failure.what() << '\n';
            return failure.status();
        }
    }
    std::ifstream file;
    const bool fromFile = options.command == Command::Batch && !IsStandardInput(options.file);
    if (fromFile && !OpenBatchFile(options.file, file, err)) {
        return ExitCommandFailed;
    }
    return RunConnected(options, fromFile ? file : in, out, err);
}

} // namespace

int RunQmtctl(const QStringList& arguments, std::istream& in, std::ostream& out,
              std::ostream& err) {
    const int status = RunTool(arguments, in, out, err);
    // Output that never arrived (a full disk) is no success; the stream may
    // learn of it only when its buffer is written out.
    if (!out.flush()) {
        err << "qmtctl: cannot write the standard output\n";
        return status == ExitDone ? ExitCommandFailed : status;
    }
    return status;
}

} // namespace qmt::cli
