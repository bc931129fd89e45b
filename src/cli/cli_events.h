#pragma once

#include "link/register_access.h"
#include "model/alert_events.h"
#include "output/log_file.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// qmtctl log FILE --events EVENTS: each change of a status bit during the
// run, with the temperature and limit of that moment, in an event file
// beside the log. The status is polled at most every 200 ms, as the program
// does; the limits are read once at the start (qmtctl is their only writer).
// A poll's events are judged by the line after it, so they are written then.
namespace qmt::cli {

class EventRecorder {
public:
    static constexpr std::int64_t PollIntervalUs = 200'000;

    EventRecorder(std::string file, link::RegisterAccess& access)
        : file_(std::move(file)), access_(access) {}

    // Reads the limits and appends the head of this run's events.
    output::WriteOutcome Start();
    // After a data line: appends the last poll's events, judged by this
    // line's readings, then polls the status when due; the events carry the
    // time text of their poll's line. Says the first failed write on err.
    void AfterLine(std::int64_t runUs, const std::string& timeText, std::ostream& err);
    // Appends the last poll's events, which no line followed (the run ends).
    void Finish(std::ostream& err);

    const std::string& file() const { return file_; }
    std::int64_t Written() const { return written_; }
    std::int64_t Lost() const { return lost_; }

private:
    // Starts the run's events; again before the next event when the file
    // had to be made again mid-run.
    static std::string Head();
    model::AlertContext Context() const;
    // Appends events_ with the time text of their poll's line.
    void WriteEvents(std::ostream& err);

    std::string file_;
    link::RegisterAccess& access_;
    std::array<model::AlertLimits, model::AlertChannelCount> limits_{};
    double hysteresis_ = 0.0;
    model::AlertEventDetector detector_;
    std::vector<model::AlertEvent> events_;
    std::optional<std::int64_t> lastPollUs_;
    std::string lastPollTime_;
    std::int64_t written_ = 0;
    std::int64_t lost_ = 0;
};

} // namespace qmt::cli
