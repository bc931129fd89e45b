#include "cli/cli_settings_files.h"

#include "files/settings_file_format.h"
#include "files/settings_file_io.h"
#include "files/settings_messages.h"
#include "files/settings_reader.h"
#include "files/settings_save.h"

#include <ostream>

namespace qmt::cli {

namespace {

constexpr std::string_view CommentOption = "--comment";
constexpr std::string_view CommentPrefix = "--comment=";

QString PathText(const std::string& file) {
    return QString::fromLocal8Bit(file);
}

std::string Count(int registers, std::string_view what) {
    return std::to_string(registers) + (registers == 1 ? " register " : " registers ") +
           std::string(what);
}

} // namespace

std::string ParseSaveArguments(const std::vector<std::string>& args, CliOptions& options) {
    bool haveFile = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded) {
            if (haveFile) {
                return "save takes one FILE";
            }
            options.file = arg;
            haveFile = true;
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == CommentOption) {
            if (++i == args.size()) {
                return "--comment needs a text";
            }
            options.comment = args[i];
        } else if (arg.starts_with(CommentPrefix)) {
            options.comment = arg.substr(CommentPrefix.size());
        } else if (arg == "--changed-only") {
            options.changedOnly = true;
        } else if (arg.starts_with("--")) {
            return "unknown save option '" + arg + "'";
        } else if (haveFile) {
            return "save takes one FILE";
        } else {
            options.file = arg;
            haveFile = true;
        }
    }
    return haveFile ? std::string{} : "save needs FILE";
}

std::string ParseRecallArguments(const std::vector<std::string>& args, CliOptions& options) {
    if (args.size() != 1) {
        return "recall needs FILE";
    }
    options.file = args.front();
    return {};
}

void RunSave(const CliOptions& options, link::RegisterAccess& access, std::ostream& out) {
    const files::SaveStamp stamp = files::SaveStampNow();
    model::RegMapStuff table;
    table.FillRegMap();
    const auto rows = files::ReadSavedRegisters(table, access, options.changedOnly);
    const std::string text = files::SettingsFileHeader(stamp.date, stamp.time, options.comment) +
                             files::RegisterBlock(rows);
    std::string error;
    if (!files::WriteSettingsFile(PathText(options.file), text, error)) {
        throw CommandFailure(files::SaveFailedText(options.file, error));
    }
    out << Count(static_cast<int>(rows.size()), "saved") << '\n';
}

void RunRecall(const CliOptions& options, link::RegisterAccess& access, std::ostream& out) {
    std::string text;
    std::string error;
    if (!files::ReadSettingsFile(PathText(options.file), text, error)) {
        throw CommandFailure(files::RecallReadFailedText(options.file, error));
    }
    const auto result = files::RecallSettings(
        text, [] {},
        [&access](std::int32_t address, std::int32_t value) {
            access.WriteRegister(access.usb().DeviceAddress, address, value);
        });
    if (result.block.end != files::RecallEnd::Closed) {
        throw CommandFailure(files::RecallText(result, options.file));
    }
    out << Count(result.written, "written") << '\n';
}

} // namespace qmt::cli
