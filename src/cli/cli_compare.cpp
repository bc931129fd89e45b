#include "cli/cli_compare.h"

#include "cli/cli_run.h"
#include "cli/cli_settings_files.h"
#include "files/chip_comparison.h"
#include "files/register_compare.h"
#include "files/register_script.h"
#include "model/number_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>
#include <ostream>

namespace qmt::cli {

namespace {

constexpr std::string_view I2cDevicePrefix = "/dev/i2c-";
constexpr std::int32_t LargestBus = 0xFFFF;
constexpr std::int32_t LargestScriptAddress = 0x7F;
constexpr int FallbackBus = 1;
// The script's chip address when a file's script is made without a chip to
// ask and no address is given: the evaluation board's.
constexpr std::int32_t BoardChipAddress = 0x4C;

// The comparison, or CommandFailure with the given status.
files::ChipComparison Compare(const std::string& path, link::RegisterAccess* access,
                              int troubleStatus) {
    files::ChipComparison comparison;
    std::string reason;
    if (!files::CompareChipWithFile(path, access, comparison, reason)) {
        throw CommandFailure(reason, troubleStatus);
    }
    return comparison;
}

std::string Value(const std::optional<std::int32_t>& value) {
    return value ? model::HexText(*value) + "H" : std::string("-");
}

QJsonValue JsonValue(const std::optional<std::int32_t>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonObject RowJson(const model::RegMapStuff& table, const files::CompareRow& row) {
    QJsonArray bits;
    for (const auto& bit : files::DifferingBits(table, row, files::Reference::File)) {
        bits.append(QString::fromStdString(bit));
    }
    return {{"name", QString::fromStdString(row.name)},
            {"read", row.readAddress},
            {"write", row.writeAddress},
            {"chip", JsonValue(row.chip)},
            {"file", JsonValue(row.file)},
            {"powerOn", JsonValue(row.powerOn)},
            {"bits", bits}};
}

// The recall writes a line of no register in the table, but there is nothing
// to compare it with.
std::string NotInTableNote(const files::CompareRow& row) {
    return files::PointerText(row) + ": file " + Value(row.file) + ", not in the register table";
}

void PrintScript(const CliOptions& options, const files::ChipComparison& comparison,
                 const files::ScriptHeader& header, std::ostream& out) {
    const auto values =
        options.file.empty() ? files::ScriptValues::Chip : files::ScriptValues::File;
    const auto text = files::ExportSettings(comparison.table, comparison.rows, values, header,
                                            options.exportFormat);
    if (!text) {
        // A table cannot read the chip's Configuration Reg 1 as a script does.
        throw CommandFailure(options.file + " has no Configuration Reg 1, which a table needs "
                                            "to select the remote channel: not exported",
                             ExitCommandFailed);
    }
    out << *text;
}

// A file that a recall would not write (cut inside its block, or with a bad
// line) is neither compared nor exported.
void RequireWholeFile(const std::string& path, const files::FileValues& file,
                      const std::string& outcome, int status) {
    if (auto reason = files::UnwrittenFileReason(path, file, outcome); !reason.empty()) {
        throw CommandFailure(reason, status);
    }
}

std::string FileSource(const CliOptions& options) {
    return "the settings file " + options.file;
}

} // namespace

int DefaultScriptBus(const link::BridgeChoice& bridge) {
    std::string_view device = bridge.i2cDevice;
    if (!device.starts_with(I2cDevicePrefix)) {
        return FallbackBus;
    }
    device.remove_prefix(I2cDevicePrefix.size());
    int bus = 0;
    const char* end = device.data() + device.size();
    const auto [ptr, ec] = std::from_chars(device.data(), end, bus);
    return ec == std::errc{} && ptr == end ? bus : FallbackBus;
}

std::string ParseDiffArguments(const std::vector<std::string>& args, CliOptions& options) {
    if (args.size() > 1) {
        return "diff takes one FILE";
    }
    if (args.empty() || args.front().starts_with("--")) {
        return "diff needs FILE";
    }
    options.file = args.front();
    return {};
}

std::string ParseExportArguments(const std::vector<std::string>& args, CliOptions& options) {
    bool formatGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded) {
            if (!options.file.empty()) {
                return "export takes one FILE";
            }
            options.file = arg;
            continue;
        }
        const bool takesValue = arg == "--format" || arg == "--bus" || arg == "--script-address";
        if (takesValue && i + 1 == args.size()) {
            return arg + " needs a value";
        }
        if (arg == "--format") {
            const std::string& format = args[++i];
            if (format == "i2cset") {
                options.exportFormat = files::ExportFormat::I2cset;
            } else if (format == "c") {
                options.exportFormat = files::ExportFormat::C;
            } else if (format == "json") {
                options.exportFormat = files::ExportFormat::Json;
            } else {
                return "unknown export format '" + format + "' (i2cset, c or json)";
            }
            formatGiven = true;
        } else if (arg == "--bus") {
            const auto bus = ParseNumberArgument(args[++i]);
            if (!bus || *bus < 0 || *bus > LargestBus) {
                return "bad bus '" + args[i] + "'";
            }
            options.scriptBus = *bus;
        } else if (arg == "--script-address") {
            const auto address = ParseNumberArgument(args[++i]);
            if (!address || *address < 0 || *address > LargestScriptAddress) {
                return "bad address '" + args[i] + "' (0 to 0x7F)";
            }
            options.scriptAddress = *address;
        } else if (arg.starts_with("--")) {
            return "unknown export option '" + arg + "'";
        } else if (!options.file.empty()) {
            return "export takes one FILE";
        } else {
            options.file = arg;
        }
    }
    return formatGiven ? std::string{} : "export needs --format i2cset, c or json";
}

int RunDiff(const CliOptions& options, link::RegisterAccess& access, std::ostream& out) {
    const files::ChipComparison comparison = Compare(options.file, &access, ExitDiffTrouble);
    // Calling such a file "same" would let `diff && recall` go on with it.
    RequireWholeFile(options.file, comparison.file, "not compared", ExitDiffTrouble);
    bool differs = false;
    QJsonArray rows;
    QJsonArray unknown;
    for (const auto& row : comparison.rows) {
        if (files::NotInTable(row)) {
            if (options.json) {
                unknown.append(
                    QJsonObject{{"write", row.writeAddress}, {"file", JsonValue(row.file)}});
            } else {
                out << NotInTableNote(row) << '\n';
            }
            continue;
        }
        if (!files::Differs(row, files::Reference::File)) {
            continue;
        }
        differs = true;
        if (options.json) {
            rows.append(RowJson(comparison.table, row));
            continue;
        }
        out << files::PointerText(row) << ' ' << row.name << ": chip " << Value(row.chip)
            << ", file " << Value(row.file);
        const auto bits = files::DifferingBits(comparison.table, row, files::Reference::File);
        if (!bits.empty()) {
            out << ", bits " << files::BitList(bits);
        }
        out << '\n';
    }
    if (options.json) {
        QJsonObject document{{"file", QString::fromLocal8Bit(options.file)},
                             {"complete", true},
                             {"differs", differs},
                             {"rows", rows}};
        if (!unknown.isEmpty()) {
            document.insert("notInTable", unknown);
        }
        out << QJsonDocument(document).toJson(QJsonDocument::Compact).toStdString() << '\n';
    }
    return differs ? ExitDiffers : ExitDone;
}

void RunExport(const CliOptions& options, link::RegisterAccess& access, std::ostream& out) {
    const std::string time = files::ScriptTimeNow();
    const files::ChipComparison comparison = Compare(options.file, &access, ExitCommandFailed);
    if (!options.file.empty()) {
        RequireWholeFile(options.file, comparison.file, "not exported", ExitCommandFailed);
    }
    const auto found = access.usb().DeviceAddress;
    const files::ScriptHeader header{
        options.scriptBus.value_or(DefaultScriptBus(options.bridge)),
        options.scriptAddress.value_or(found),
        options.file.empty() ? "the chip at " + files::ByteText(found) : FileSource(options), time};
    PrintScript(options, comparison, header, out);
}

bool IsFileExport(const CliOptions& options) {
    return options.command == Command::Export && !options.file.empty();
}

void RunFileExport(const CliOptions& options, std::ostream& out) {
    const std::string time = files::ScriptTimeNow();
    const files::ChipComparison comparison = Compare(options.file, nullptr, ExitCommandFailed);
    RequireWholeFile(options.file, comparison.file, "not exported", ExitCommandFailed);
    const files::ScriptHeader header{
        options.scriptBus.value_or(DefaultScriptBus(options.bridge)),
        options.scriptAddress.value_or(options.address.value_or(BoardChipAddress)),
        FileSource(options), time};
    PrintScript(options, comparison, header, out);
}

} // namespace qmt::cli
