#pragma once

#include "model/general_stuff.h"
#include "output/log_file.h"

#include <cstdint>
#include <string>

namespace qmt::output {

// One logging run on the program-wide logging state: LogFilePath,
// LogChannel, LoggingInterval, LoggingOn and LogLineCount. The program's
// logging and qmtctl drive the same run, so they write the same bytes.
//
// A line that cannot be written (folder gone, disk full, file made
// immutable) is skipped, not retried: LogLineCount still counts it, so the
// lines that are written carry their true times and the time column shows
// the gap. Writing resumes with the next line that succeeds.
class DataLog {
public:
    explicit DataLog(GeneralStuff& state) : state_(state) {}

    // Appends the head of a new run (empty line, title, empty line, column
    // heads) to LogFilePath and switches logging on at the interval with the
    // line count at 0. When the head cannot be written nothing else changes.
    WriteOutcome Start(std::int32_t intervalMs);
    // One data line from the current readings, then LogLineCount + 1.
    WriteOutcome AppendLogLine();
    // Switches logging off and makes the lines written durable.
    WriteOutcome Stop();
    // Makes the lines written so far durable; logging goes on.
    WriteOutcome Flush() const { return FlushFile(state_.LogFilePath); }

    bool Running() const { return state_.LoggingOn; }
    // Data lines of this run that reached the file.
    std::int64_t LinesWritten() const { return linesWritten_; }
    // Data lines of this run that could not be written.
    std::int64_t LinesLost() const { return state_.LogLineCount - linesWritten_; }
    // True while the last line could not be written; LastError says why.
    bool Failing() const { return !lastError_.empty(); }
    const std::string& LastError() const { return lastError_; }

private:
    GeneralStuff& state_;
    std::int64_t linesWritten_ = 0;
    std::string lastError_;
};

} // namespace qmt::output
