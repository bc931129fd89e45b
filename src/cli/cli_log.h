#pragma once

#include "link/clock.h"
#include "link/register_access.h"
#include "output/log_format.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// qmtctl log FILE [--interval MS] [--channels local,remote1,remote2]
//                 [--count N | --duration SECONDS] [--events EVENTS]
// One logging run in the program's own format, through the program's own log.
namespace qmt::cli {

// A log file that cannot be written, or lines of the run that were lost.
inline constexpr int ExitLogFileError = 1;

struct LogOptions {
    std::string file;
    std::int32_t intervalMs = 100;
    output::LogChannels channels{true, true, true};
    std::optional<std::int64_t> count;     // lines to write
    std::optional<double> durationSeconds; // or how long to log
    std::string eventsFile;                // the status bits' changes, when given
};

// The arguments after "log"; returns the reason of a usage error, empty when fine.
std::string ParseLogArguments(const std::vector<std::string>& args, LogOptions& options);

// Runs the log on a connected chip: the run's head, then a data line per
// interval, each after a fresh reading of the temperatures, until the count
// or duration is reached or stopRequested() says so. Prints the number of
// lines written; with progress, a line per data line on it. Link failures
// leave as link::LinkFailure once the lines written are flushed.
int RunLog(const LogOptions& options, link::RegisterAccess& access, link::Clock& clock,
           const std::function<bool()>& stopRequested, std::ostream& out, std::ostream& err,
           std::ostream* progress);

} // namespace qmt::cli
