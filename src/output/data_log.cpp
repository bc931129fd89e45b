#include "output/data_log.h"

#include "output/log_format.h"

namespace qmt::output {

WriteOutcome DataLog::Start(std::int32_t intervalMs) {
    WriteOutcome outcome = AppendToFile(state_.LogFilePath, LogRunHead(state_.LogChannel));
    if (!outcome.ok) {
        return outcome;
    }
    state_.LoggingInterval = intervalMs;
    state_.LoggingOn = true;
    state_.LogLineCount = 0;
    linesWritten_ = 0;
    lastError_.clear();
    return outcome;
}

WriteOutcome DataLog::AppendLogLine() {
    std::string line = LogDataLine(state_);
    line += LogLineEnd;
    // A file made again mid-run (moved, deleted, its folder re-created)
    // starts with the run's head, so its lines read back as this run's.
    WriteOutcome outcome = AppendToFile(state_.LogFilePath, line, LogRunHead(state_.LogChannel));
    ++state_.LogLineCount;
    if (outcome.ok) {
        ++linesWritten_;
        lastError_.clear();
    } else {
        lastError_ = outcome.error;
    }
    return outcome;
}

WriteOutcome DataLog::Stop() {
    state_.LoggingOn = false;
    return Flush();
}

} // namespace qmt::output
