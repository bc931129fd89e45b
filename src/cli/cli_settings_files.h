#pragma once

#include "cli/cli_options.h"
#include "link/register_access.h"

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

// qmtctl save and recall: the program's settings files without its window.
namespace qmt::cli {

// Exit status of a save or recall that did not do all it was asked.
inline constexpr int ExitCommandFailed = 1;

// A command that failed; what() is the one-line reason, status() the exit
// status (ExitCommandFailed unless the command has its own, as diff has).
class CommandFailure : public std::runtime_error {
public:
    explicit CommandFailure(const std::string& reason, int status = ExitCommandFailed)
        : std::runtime_error(reason), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

// save FILE [--comment TEXT] [--changed-only]; an empty text means success.
std::string ParseSaveArguments(const std::vector<std::string>& args, CliOptions& options);
// recall FILE.
std::string ParseRecallArguments(const std::vector<std::string>& args, CliOptions& options);

// Reads the registers and replaces the file, as the Save button does.
// Throws CommandFailure when the file cannot be written.
void RunSave(const CliOptions& options, link::RegisterAccess& access, std::ostream& out);
// Writes the file's registers as the Recall button does (file order,
// Configuration Reg 2 last) and prints how many. Throws CommandFailure,
// having written nothing, for an unreadable file, one without a register
// block, one that ends inside it or has a bad line in it.
void RunRecall(const CliOptions& options, link::RegisterAccess& access, std::ostream& out);

} // namespace qmt::cli
