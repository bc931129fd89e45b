#pragma once

#include "cli/cli_options.h"

#include <fstream>
#include <functional>
#include <iosfwd>
#include <string>

// qmtctl batch [FILE]: commands from a file or standard input, one a line,
// on one connection, so that a script of many commands pays for one.
namespace qmt::cli {

// Runs one line's command on the connected chip as a command line of its
// own runs it; link failures leave as link::LinkFailure, failed commands as
// CommandFailure.
using BatchCommandRunner = std::function<int(const CliOptions&)>;

// FILE of "batch FILE"; none or "-" reads standard input.
bool IsStandardInput(const std::string& file);

// Opens the batch's FILE, before the connection so that a wrong name costs
// no wait; false with one line on err otherwise.
bool OpenBatchFile(const std::string& path, std::ifstream& file, std::ostream& err);

// Runs the lines in order, each split as a shell splits it and parsed as the
// arguments after "qmtctl"; blank lines and comments are skipped. Every line
// uses the batch's connection options and its --json, and may not give
// connection options of its own. A line that fails is named on err
// ("qmtctl: line N: ..."). Returns the highest status of the lines; a link
// failure ends the batch at once with ExitLinkFailure.
int RunBatch(std::istream& lines, const CliOptions& batch, const BatchCommandRunner& run,
             std::ostream& out, std::ostream& err);

} // namespace qmt::cli
