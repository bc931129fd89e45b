#pragma once

#include "cli/cli_options.h"
#include "link/clock.h"
#include "link/register_access.h"

#include <QStringList>
#include <iosfwd>

namespace qmt::cli {

// Exit statuses of qmtctl.
inline constexpr int ExitDone = 0;
inline constexpr int ExitUsage = 2;
inline constexpr int ExitLinkFailure = 3;

// The whole tool: parses the arguments, opens the bridge, connects and runs
// the command (batch reads its lines from FILE or `in`). Usage errors print
// one line and give ExitUsage; a bridge that cannot be loaded or any link
// failure prints its message and gives ExitLinkFailure. When `out` cannot be
// written, it says so on `err` and gives ExitCommandFailed instead of ExitDone.
int RunQmtctl(const QStringList& arguments, std::istream& in, std::ostream& out, std::ostream& err);

// Runs the command on a connected chip (DeviceAddress set). Link failures
// leave as link::LinkFailure, failed saves and recalls as CommandFailure.
// Not log or batch, which need more than the chip: see RunOnChip.
int RunCommand(const CliOptions& options, link::RegisterAccess& access, std::ostream& out);

// Any command but batch on a connected chip, as its own command line runs
// it: a log ends on SIGINT or SIGTERM as well as on its count or duration;
// an export of a FILE leaves the chip alone.
int RunOnChip(const CliOptions& options, link::RegisterAccess& access, link::Clock& clock,
              std::ostream& out, std::ostream& err);

} // namespace qmt::cli
