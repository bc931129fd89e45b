#pragma once

#include "cli/cli_options.h"
#include "link/register_access.h"

#include <iosfwd>
#include <string>
#include <vector>

// qmtctl diff FILE and qmtctl export --format i2cset [--bus N] [FILE]: the
// chip against a settings file, and the settings as an i2cset script.
namespace qmt::cli {

// diff's status when the chip does not hold what the file says, as diff's.
inline constexpr int ExitDiffers = 1;
// diff's status when the file cannot be compared (as diff's trouble status).
inline constexpr int ExitDiffTrouble = 2;

// The I2C bus of the script when none is given: the i2c-dev bridge's own bus
// (i2c:/dev/i2c-3 gives 3), else 1.
int DefaultScriptBus(const link::BridgeChoice& bridge);

// diff FILE; an empty text means success.
std::string ParseDiffArguments(const std::vector<std::string>& args, CliOptions& options);
// export --format i2cset [--bus N] [--script-address ADDR] [FILE].
std::string ParseExportArguments(const std::vector<std::string>& args, CliOptions& options);

// Prints one line per row whose chip value differs from the file's (or a JSON
// document with those rows), and a note per file line of no register in the
// table (which does not count as differing). ExitDone when the chip holds the
// file, ExitDiffers otherwise; a file that cannot be read, has no block, ends
// inside it or has a bad line in it throws CommandFailure with ExitDiffTrouble.
int RunDiff(const CliOptions& options, link::RegisterAccess& access, std::ostream& out);
// Prints the script of the chip's values, or of the file's when one is given.
// Throws CommandFailure for a file that cannot be read or has no block.
void RunExport(const CliOptions& options, link::RegisterAccess& access, std::ostream& out);
// An export of a FILE, whose script needs no chip.
bool IsFileExport(const CliOptions& options);
// Prints the script of the file's values without a chip: the script's address
// is --script-address, else --address, else the evaluation board's 0x4C.
void RunFileExport(const CliOptions& options, std::ostream& out);

} // namespace qmt::cli
