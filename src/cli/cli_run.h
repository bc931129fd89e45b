#pragma once

#include "cli/cli_options.h"
#include "link/register_access.h"

#include <QStringList>
#include <iosfwd>

namespace qmt::cli {

// Exit statuses of qmtctl.
inline constexpr int ExitDone = 0;
inline constexpr int ExitUsage = 2;
inline constexpr int ExitLinkFailure = 3;

// The whole tool: parses the arguments, opens the bridge, connects and runs
// the command. Usage errors print one line and give ExitUsage; a bridge that
// cannot be loaded or any link failure prints its message and gives
// ExitLinkFailure. When `out` cannot be written, it says so on `err` and
// gives ExitCommandFailed instead of ExitDone.
int RunQmtctl(const QStringList& arguments, std::ostream& out, std::ostream& err);

// Runs the command on a connected chip (DeviceAddress set). Link failures
// leave as link::LinkFailure, failed saves and recalls as CommandFailure.
int RunCommand(const CliOptions& options, link::RegisterAccess& access, std::ostream& out);

} // namespace qmt::cli
