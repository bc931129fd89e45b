#include "cli/cli_settings_files.h"

#include "files/settings_transfer.h"

#include <ostream>

namespace qmt::cli {

namespace {

constexpr std::string_view CommentOption = "--comment";
constexpr std::string_view CommentPrefix = "--comment=";

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
    const auto saved =
        files::SaveChipSettings(access, options.file, options.comment, options.changedOnly);
    if (!saved.failure.empty()) {
        throw CommandFailure(saved.failure);
    }
    out << Count(saved.registers, "saved") << '\n';
}

void RunRecall(const CliOptions& options, link::RegisterAccess& access, std::ostream& out) {
    const auto recalled = files::RecallChipSettings(access, options.file);
    if (!recalled.failure.empty()) {
        throw CommandFailure(recalled.failure);
    }
    out << Count(recalled.registers, "written") << '\n';
}

} // namespace qmt::cli
