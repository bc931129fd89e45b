#pragma once

#include "cli/cli_options.h"
#include "link/register_access.h"

#include <iosfwd>

// qmtctl's register commands that need more than one request: a write that
// is read back, the dump of the channel the shared pointers show, and the
// temperatures with open diodes named.
namespace qmt::cli {

// Writes the value, then (unless --no-verify) reads back the register behind
// the write pointer and prints what the chip holds. Throws CommandFailure
// when the chip holds another value, naming the lock where it explains it.
void RunWrite(const CliOptions& options, link::RegisterAccess& access, std::ostream& out);

// Every register of the table; of the shared remote pointers only the rows of
// the channel that Configuration Reg 1 selects, which a first line names.
void RunDump(const CliOptions& options, link::RegisterAccess& access, std::ostream& out);

// The temperatures as the monitoring cycle reads them; a remote channel whose
// reading is the chip's open-diode code is named as open.
void RunTemps(const CliOptions& options, link::RegisterAccess& access, std::ostream& out);

} // namespace qmt::cli
