#include "cli/cli_log.h"

#include "cli/cli_events.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "link/temperature_reading.h"
#include "output/data_log.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <ostream>
#include <string_view>

namespace qmt::cli {

namespace {

constexpr std::int32_t ConfigurationWritePointer = 0x09;
// The program's master timer period: the log waits in steps of one tick.
constexpr int TickMs = 10;
constexpr double SecondsPerDay = 86400.0;
constexpr double UsPerSecond = 1e6;
constexpr std::int64_t UsPerMs = 1000;
constexpr std::array<std::string_view, 3> ChannelNames{"local", "remote1", "remote2"};

// Whole microseconds since the run started on a time-of-day clock, so that a
// clock stepping in exact milliseconds meets a duration exactly. A jump back
// of more than half a day is midnight passing; a smaller one counts as no time.
class RunTime {
public:
    explicit RunTime(link::Clock& clock)
        : clock_(clock), start_(clock.SecondsSinceMidnight()), last_(start_) {}
    std::int64_t Us() {
        const double now = clock_.SecondsSinceMidnight();
        if (now < last_ - SecondsPerDay / 2.0) {
            dayOffset_ += SecondsPerDay;
        }
        last_ = std::max(now + dayOffset_, last_);
        return std::llround((last_ - start_) * UsPerSecond);
    }
    void Sleep() { clock_.SleepMs(TickMs); }

private:
    link::Clock& clock_;
    double start_;
    double last_;
    double dayOffset_ = 0.0;
};

std::string ParseChannels(std::string_view list, output::LogChannels& channels) {
    channels = {false, false, false};
    while (!list.empty()) {
        const auto comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        bool known = false;
        for (std::size_t i = 0; i < ChannelNames.size(); ++i) {
            if (name == ChannelNames[i]) {
                channels[i] = known = true;
            }
        }
        if (!known) {
            return "unknown channel '" + std::string(name) + "' (local, remote1, remote2)";
        }
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    }
    if (!channels[0] && !channels[1] && !channels[2]) {
        return "At least one item must be selected for logging";
    }
    return {};
}

std::string ParseLogOption(const std::string& name, const std::string& value, LogOptions& options) {
    if (name == "--interval") {
        const auto interval = ParseNumberArgument(value);
        if (!interval || *interval < 0) {
            return "bad interval '" + value + "' (0 to 2147483647 ms)";
        }
        options.intervalMs = *interval;
        return {};
    }
    if (name == "--events") {
        if (value.empty()) {
            return "--events needs a FILE";
        }
        options.eventsFile = value;
        return {};
    }
    if (name == "--channels") {
        return ParseChannels(value, options.channels);
    }
    const char* end = value.data() + value.size();
    if (name == "--count") {
        std::int64_t count = 0;
        const auto [ptr, ec] = std::from_chars(value.data(), end, count);
        if (ec != std::errc{} || ptr != end || count < 1) {
            return "bad count '" + value + "' (1 or more lines)";
        }
        options.count = count;
        return {};
    }
    if (name == "--duration") {
        double seconds = 0.0;
        const auto [ptr, ec] = std::from_chars(value.data(), end, seconds);
        if (ec != std::errc{} || ptr != end || !std::isfinite(seconds) || seconds <= 0.0) {
            return "bad duration '" + value + "' (seconds above 0)";
        }
        options.durationSeconds = seconds;
        return {};
    }
    return "unknown log option '" + name + "'";
}

bool Finished(const LogOptions& options, const GeneralStuff& state, RunTime& time) {
    if (options.count) {
        return state.LogLineCount >= *options.count;
    }
    return options.durationSeconds &&
           time.Us() >= std::llround(*options.durationSeconds * UsPerSecond);
}

// Waits like the program's cycle: until more than the interval has passed
// since the line ended, at the granularity of its 10 ms tick.
void WaitForNextLine(const LogOptions& options, const GeneralStuff& state, RunTime& time,
                     const std::function<bool()>& stopRequested) {
    const std::int64_t lineEnded = time.Us();
    do {
        time.Sleep();
    } while (!stopRequested() && !Finished(options, state, time) &&
             time.Us() - lineEnded <= options.intervalMs * UsPerMs);
}

void AppendLine(output::DataLog& log, const GeneralStuff& state, std::ostream& err,
                std::ostream* progress, EventRecorder* events, RunTime& time) {
    const bool wasFailing = log.Failing();
    const std::int64_t line = state.LogLineCount;
    const output::WriteOutcome outcome = log.AppendLogLine();
    if (!outcome.ok && !wasFailing) {
        err << "qmtctl: log write failed: " << outcome.error << '\n';
    } else if (outcome.ok && wasFailing) {
        err << "qmtctl: log writing resumed\n";
    }
    if (progress != nullptr && outcome.ok) {
        *progress << "line " << line + 1 << " at "
                  << output::LogTimeField(line, state.LoggingInterval) << " s\n";
    }
    if (events != nullptr) {
        // Beside the line: the same time text, the same readings.
        events->AfterLine(time.Us(), output::LogTimeField(line, state.LoggingInterval), err);
    }
}

int FinishEvents(EventRecorder& events, std::ostream& out, std::ostream& err) {
    events.Finish(err);
    const std::int64_t written = events.Written();
    out << written << (written == 1 ? " event" : " events") << " written to " << events.file()
        << '\n';
    if (events.Lost() > 0) {
        err << "qmtctl: " << events.Lost() << " events could not be written to " << events.file()
            << '\n';
        return ExitLogFileError;
    }
    return ExitDone;
}

int Finish(output::DataLog& log, const std::string& file, std::ostream& out, std::ostream& err) {
    const output::WriteOutcome flushed = log.Stop();
    const std::int64_t written = log.LinesWritten();
    out << written << (written == 1 ? " line" : " lines") << " written to " << file << '\n';
    int status = ExitDone;
    if (!flushed.ok) {
        err << "qmtctl: log file '" << file << "' could not be flushed: " << flushed.error << '\n';
        status = ExitLogFileError;
    }
    if (log.LinesLost() > 0) {
        err << "qmtctl: " << log.LinesLost() << " lines could not be written to " << file << '\n';
        status = ExitLogFileError;
    }
    return status;
}

} // namespace

std::string ParseLogArguments(const std::vector<std::string>& args, LogOptions& options) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !arg.starts_with("--")) {
            if (!options.file.empty()) {
                return "log takes one FILE";
            }
            options.file = arg;
            continue;
        }
        const auto equals = arg.find('=');
        std::string name = arg.substr(0, equals);
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return name + " needs a value";
        }
        if (auto error = ParseLogOption(name, value, options); !error.empty()) {
            return error;
        }
    }
    if (options.file.empty()) {
        return "log needs a FILE";
    }
    if (options.count && options.durationSeconds) {
        return "give --count or --duration, not both";
    }
    return {};
}

int RunLog(const LogOptions& options, link::RegisterAccess& access, link::Clock& clock,
           const std::function<bool()>& stopRequested, std::ostream& out, std::ostream& err,
           std::ostream* progress) {
    GeneralStuff& state = access.state();
    // The range and the channel mode the chip is set to, as the program reads them at start-up.
    access.UpdateRemoteSelection(ConfigurationWritePointer);
    std::optional<EventRecorder> events;
    if (!options.eventsFile.empty()) {
        events.emplace(options.eventsFile, access);
        if (const auto start = events->Start(); !start.ok) {
            err << "qmtctl: cannot write event file '" << options.eventsFile << "': " << start.error
                << '\n';
            return ExitLogFileError;
        }
    }
    state.LogFilePath = options.file;
    state.LogChannel = options.channels;
    output::DataLog log(state);
    if (const auto start = log.Start(options.intervalMs); !start.ok) {
        err << "qmtctl: cannot write log file '" << options.file << "': " << start.error << '\n';
        return ExitLogFileError;
    }
    RunTime time(clock);
    try {
        while (!stopRequested() && !Finished(options, state, time)) {
            link::ReadTemperatures(access);
            AppendLine(log, state, err, progress, events ? &*events : nullptr, time);
            if (!Finished(options, state, time)) {
                WaitForNextLine(options, state, time, stopRequested);
            }
        }
    } catch (const link::LinkFailure&) {
        Finish(log, options.file, out, err);
        if (events) {
            FinishEvents(*events, out, err);
        }
        throw;
    }
    const int status = Finish(log, options.file, out, err);
    const int eventStatus = events ? FinishEvents(*events, out, err) : ExitDone;
    return status != ExitDone ? status : eventStatus;
}

} // namespace qmt::cli
