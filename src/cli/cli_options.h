#pragma once

#include "cli/cli_log.h"
#include "files/register_script.h"
#include "link/bridge_factory.h"
#include "model/number_text.h"

#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qmt::cli {

enum class Command {
    Detect,
    Read,
    Write,
    Dump,
    Temps,
    Save,
    Recall,
    Log,
    Diff,
    Export,
    Batch,
    CheckAlerts
};

// What the command line asks for, checked before the bridge is touched.
struct CliOptions {
    link::BridgeChoice bridge;
    std::optional<std::int32_t> address; // skip the device search
    bool verbose = false;
    bool json = false;
    Command command = Command::Detect;
    std::vector<std::int32_t> registers; // read: pointers; write: pointer
    std::int32_t value = 0;              // write
    bool verifyWrite = true;             // write: read the register back
    std::string file;                    // save, recall, diff; export, batch (optional)
    std::string comment;                 // save
    bool changedOnly = false;            // save: only registers off their defaults
    LogOptions log;                      // log
    files::ExportFormat exportFormat = files::ExportFormat::I2cset; // export
    std::optional<int> scriptBus;                                   // export: i2cset's bus
    std::optional<std::int32_t> scriptAddress; // export: the chip's address in the script
};

// A command's argument parser: fills the command's part of the options from
// the arguments after its name; an empty text means success, else the text
// is the one-line reason of the usage error. Each command has one, listed
// with it in the command table of cli_options.cpp.
using ArgumentParser = std::string (*)(std::string_view name, const std::vector<std::string>& args,
                                       CliOptions& options);

// Help: print the text (help, a command's use or the version) and end.
enum class ParseOutcome { Run, Help, UsageError };

struct ParseResult {
    ParseOutcome outcome = ParseOutcome::UsageError;
    CliOptions options;
    std::string text; // what Help prints, or the one-line reason of a usage error
};

// A line of a batch runs on the batch's connection: the options of the
// connection and another batch are usage errors there.
enum class ParseScope { CommandLine, BatchLine };

// Parses the arguments (the program's name first): qmtctl COMMAND ARGS...,
// with options before, between or after them. A negative number is an
// argument, so it reaches the value check instead of passing for an option;
// "--" ends the options.
ParseResult ParseCliArguments(const QStringList& arguments,
                              ParseScope scope = ParseScope::CommandLine);

using model::ParseNumberArgument;

} // namespace qmt::cli
