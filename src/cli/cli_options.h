#pragma once

#include "cli/cli_log.h"
#include "link/bridge_factory.h"

#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qmt::cli {

enum class Command { Detect, Read, Write, Dump, Temps, Log };

// What the command line asks for, checked before the bridge is touched.
struct CliOptions {
    link::BridgeChoice bridge;
    std::optional<std::int32_t> address; // skip the device search
    bool verbose = false;
    bool json = false;
    Command command = Command::Detect;
    std::vector<std::int32_t> registers; // read: pointers; write: pointer
    std::int32_t value = 0;              // write
    LogOptions log;                      // log
};

enum class ParseOutcome { Run, Help, UsageError };

struct ParseResult {
    ParseOutcome outcome = ParseOutcome::UsageError;
    CliOptions options;
    std::string text; // help text, or the one-line reason of a usage error
};

// Parses the arguments (the program's name first), qmtctl [options] COMMAND ...
// Everything after the command is its arguments, so a negative value reaches
// the value check instead of passing for an option.
ParseResult ParseCliArguments(const QStringList& arguments);

// A whole number as typed: 0x4C, 4Ch (or 4CH) or decimal 76, with an optional
// "-" before a decimal. Nothing may follow the number.
std::optional<std::int32_t> ParseNumberArgument(std::string_view text);

} // namespace qmt::cli
