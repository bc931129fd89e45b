// One data line of the log: building its text, and building plus appending
// it to a file (open, one write, close), the cost activity 5 of the
// monitoring cycle pays per line; goal under 5 µs. Then the share of one
// core that appending a line every 10 ms takes over a measured period;
// goal under 1 %.
//
//   bench_log_line [benchmark options] [--duty-seconds=N]   (default 10)
#include "output/data_log.h"
#include "output/log_format.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace qmt;

constexpr double LineGoalUs = 5.0;
constexpr double DutyGoalPercent = 1.0;
constexpr int DutyIntervalMs = 10;
constexpr int DefaultDutySeconds = 10;

// A log in a fresh temporary folder, removed again afterwards.
struct TemporaryLog {
    TemporaryLog() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qmt-log-XXXXXX").string();
        folder = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string{};
        state.LogFilePath = folder + "/bench.csv";
        state.LocalTemp = 25.0f;
        state.Remote1Temp = 30.25f;
        state.Remote2Temp = -1.75f;
        state.LoggingInterval = DutyIntervalMs;
    }
    ~TemporaryLog() { std::filesystem::remove_all(folder); }
    TemporaryLog(const TemporaryLog&) = delete;
    TemporaryLog& operator=(const TemporaryLog&) = delete;

    std::string folder;
    GeneralStuff state;
};

void BM_BuildLogLine(benchmark::State& bench) {
    TemporaryLog log;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(output::LogDataLine(log.state));
        ++log.state.LogLineCount;
    }
}
BENCHMARK(BM_BuildLogLine);

void BM_BuildAndAppendLogLine(benchmark::State& bench) {
    TemporaryLog log;
    output::DataLog data(log.state);
    if (!data.Start(DutyIntervalMs).ok) {
        bench.SkipWithError("the log file cannot be written");
        return;
    }
    for (auto _ : bench) {
        if (!data.AppendLogLine().ok) {
            bench.SkipWithError("a line could not be written");
            break;
        }
    }
    bench.counters["goal_us"] = LineGoalUs;
}
BENCHMARK(BM_BuildAndAppendLogLine);

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Wakes every 10 ms on absolute deadlines, as the master timer does, and
// appends a line at each wake when asked to; returns the CPU used as a
// percentage of one core. The program wakes every 10 ms anyway, so what
// logging adds is the difference between the runs with and without lines.
double TickingPercent(int seconds, bool logging) {
    TemporaryLog log;
    output::DataLog data(log.state);
    if (!data.Start(DutyIntervalMs).ok) {
        return -1.0;
    }
    timespec next{};
    ::clock_gettime(CLOCK_MONOTONIC, &next);
    const double cpuBefore = CpuSeconds();
    const int lines = seconds * 1000 / DutyIntervalMs;
    for (int line = 0; line < lines; ++line) {
        if (logging) {
            data.AppendLogLine();
        }
        next.tv_nsec += DutyIntervalMs * 1'000'000L;
        if (next.tv_nsec >= 1'000'000'000L) {
            next.tv_nsec -= 1'000'000'000L;
            ++next.tv_sec;
        }
        ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
    }
    data.Stop();
    return 100.0 * (CpuSeconds() - cpuBefore) / seconds;
}

int DutySeconds(int& argc, char** argv) {
    constexpr std::string_view Option = "--duty-seconds=";
    int seconds = DefaultDutySeconds;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with(Option)) {
            seconds = std::max(1, std::atoi(argv[i] + Option.size()));
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    return seconds;
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = DutySeconds(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double idle = TickingPercent(seconds, false);
    const double logging = TickingPercent(seconds, true);
    if (idle < 0.0 || logging < 0.0) {
        std::printf("the log file cannot be written\n");
        return 1;
    }
    const double added = logging - idle;
    std::printf("waking every %d ms for %d s: %.3f %% of one core without lines, %.3f %% with\n",
                DutyIntervalMs, seconds, idle, logging);
    std::printf("logging adds %.3f %% of one core (goal < %.0f %%)\n", added, DutyGoalPercent);
    return added < DutyGoalPercent ? 0 : 1;
}
