// The soak run: the whole program with every window open and a log at
// 10 ms, on a simulated clock through 24 hours (8.64 million ticks) against
// the emulated board. Reports per simulated hour the CPU time, the resident
// size and the live heap, and checks the goals:
//   CPU              under 180 s per simulated hour (5 % of one core: the
//                    tick cost with every window open, under 0.5 ms a tick);
//   peak resident    under 250 MB after a day;
//   growth           the live heap grows by what the graph's history grows
//                    and by less than 16 KiB an hour besides (the history's
//                    share measured as the heap a fresh history of the same
//                    length takes).
//
//   bench_soak                  # 24 simulated hours
//   bench_soak --hours 2        # a shorter span; per-hour figures still hold
//   bench_soak --minutes 10
#include "bench/app/soak_run.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using namespace qmt::bench;

constexpr double CpuGoalSecondsPerHour = 180.0;
constexpr double PeakGoalMb = 250.0;
constexpr double UnaccountedGoalKbPerHour = 16.0;
constexpr double MsPerHour = 3'600'000.0;
constexpr double BytesPerMb = 1024.0 * 1024.0;
constexpr std::int64_t MsPerMinute = 60'000;
constexpr int OverGoalStatus = 1;
constexpr int FailedStatus = 2;

double Hours(std::int64_t ms) {
    return static_cast<double>(ms) / MsPerHour;
}

std::int64_t SpanMs(const QCommandLineParser& parser, const QCommandLineOption& hours,
                    const QCommandLineOption& minutes) {
    if (parser.isSet(minutes)) {
        return parser.value(minutes).toLongLong() * MsPerMinute;
    }
    const double h = parser.isSet(hours) ? parser.value(hours).toDouble() : 24.0;
    return static_cast<std::int64_t>(h * MsPerHour);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption hoursOption(QStringLiteral("hours"),
                                         QStringLiteral("Simulated hours (default 24)."),
                                         QStringLiteral("H"));
    const QCommandLineOption minutesOption(QStringLiteral("minutes"),
                                           QStringLiteral("Simulated minutes instead."),
                                           QStringLiteral("M"));
    parser.addOption(hoursOption);
    parser.addOption(minutesOption);
    parser.process(application);

    const QTemporaryDir folder;
    SoakOptions options;
    options.simulatedMs = SpanMs(parser, hoursOption, minutesOption);
    options.sampleEveryMs = std::min<std::int64_t>(options.simulatedMs, 3'600'000);
    options.logFile = folder.filePath(QStringLiteral("soak.csv"));
    std::printf("%8s %10s %10s %10s %10s %10s %12s\n", "sim. h", "CPU s", "RSS MB", "peak MB",
                "heap MB", "history MB", "log lines");
    options.onSample = [](const SoakSample& s) {
        std::printf("%8.2f %10.1f %10.1f %10.1f %10.1f %10.1f %12lld\n", Hours(s.simulatedMs),
                    s.cpuSeconds, static_cast<double>(s.residentBytes) / BytesPerMb,
                    static_cast<double>(s.peakResidentBytes) / BytesPerMb,
                    static_cast<double>(s.heapBytes) / BytesPerMb,
                    static_cast<double>(s.historyBytes) / BytesPerMb, s.logLines);
        std::fflush(stdout);
    };
    const SoakResult result = RunSoak(options);
    if (!result.error.empty() || result.samples.size() < 2) {
        std::fprintf(stderr, "bench_soak: %s\n", result.error.c_str());
        return FailedStatus;
    }
    const SoakSample& first = result.samples.front();
    const SoakSample& last = result.samples.back();
    const double hours = Hours(last.simulatedMs - first.simulatedMs);
    const double cpuPerHour = (last.cpuSeconds - first.cpuSeconds) / hours;
    const double peakMb = static_cast<double>(last.peakResidentBytes) / BytesPerMb;
    const double rssGrowthMb =
        static_cast<double>(last.residentBytes - first.residentBytes) / BytesPerMb / hours;
    const double historyGrowthMb =
        static_cast<double>(last.historyBytes - first.historyBytes) / BytesPerMb / hours;
    const double unaccountedKb =
        static_cast<double>(UnaccountedHeapGrowth(first, last)) / 1024.0 / hours;
    std::printf("windows open:            %s\n", qPrintable(result.openWindows));
    std::printf("simulated:               %.2f h (%lld ticks), %lld log lines\n", hours,
                static_cast<long long>((last.simulatedMs - first.simulatedMs) / 10), last.logLines);
    std::printf("CPU per simulated hour:  %.1f s = %.3f ms a tick (goal < %.0f s, ratio %.2f)\n",
                cpuPerHour, cpuPerHour / 360.0, CpuGoalSecondsPerHour,
                cpuPerHour / CpuGoalSecondsPerHour);
    std::printf("peak resident:           %.1f MB (goal < %.0f MB, ratio %.2f)\n", peakMb,
                PeakGoalMb, peakMb / PeakGoalMb);
    std::printf("resident growth:         %.2f MB/h; graph history %.2f MB/h\n", rssGrowthMb,
                historyGrowthMb);
    std::printf("heap growth besides the history: %.1f KiB/h (goal < %.0f KiB/h, ratio %.2f)\n",
                unaccountedKb, UnaccountedGoalKbPerHour, unaccountedKb / UnaccountedGoalKbPerHour);
    const bool met = cpuPerHour < CpuGoalSecondsPerHour && peakMb < PeakGoalMb &&
                     unaccountedKb < UnaccountedGoalKbPerHour;
    return met ? 0 : OverGoalStatus;
}
