// Replaying a saved log in the graph. Goals:
//   BM_LoadDay       a 24-hour log at 100 ms (864,000 lines, three channels)
//                    read from its file and put on a strip chart: under 1 s;
//   BM_ReadDay       the reading alone, without the chart;
//   BM_Repaint/...   a 1600x900 offscreen repaint of the replayed day, the
//                    whole day and one minute in view: as fast as the live
//                    graph's repaint of a day (bench_strip_chart, under 4 ms).
//
//   bench_log_replay [benchmark options]
//   bench_log_replay --write-log=PATH   writes the synthetic day and exits
#include "output/log_file_load.h"
#include "output/log_format.h"
#include "views/replay/replay_chart.h"
#include "widgets/strip_chart.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

using namespace qmt;

constexpr std::int32_t IntervalMs = 100;
constexpr std::int64_t LinesPerDay = 24 * 3600 * 1000 / IntervalMs;
constexpr double LoadGoalMs = 1000.0;

// Readings in the chip's quarter degrees that wander over the day, with a
// spike now and then, so that every level of the chart has work.
float Quarter(double value) {
    return static_cast<float>(std::round(value * 4.0) / 4.0);
}

output::LogReadings Readings(std::int64_t line) {
    const double t = static_cast<double>(line) * IntervalMs / 1000.0;
    const double spike = line % 36011 == 0 ? 12.0 : 0.0;
    return {Quarter(25.0 + 3.0 * std::sin(t / 3600.0) + 0.5 * std::sin(t / 7.0)),
            Quarter(45.0 + 15.0 * std::sin(t / 9000.0) + spike),
            Quarter(-5.0 + 8.0 * std::cos(t / 5400.0) + 0.25 * std::sin(t * 1.3)), false};
}

bool WriteDay(const std::string& path) {
    constexpr output::LogChannels All{true, true, true};
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << output::LogRunHead(All);
    std::string lines;
    for (std::int64_t line = 0; line < LinesPerDay; ++line) {
        lines += output::LogDataLine(line, IntervalMs, All, Readings(line));
        lines += output::LogLineEnd;
        if (lines.size() > (1u << 20)) {
            file << lines;
            lines.clear();
        }
    }
    file << lines;
    return static_cast<bool>(file);
}

// The synthetic day in a temporary folder, written once.
const std::string& DayLog() {
    static const std::string path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "qmt-day-XXXXXX").string();
        const std::string folder = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string{};
        const std::string file = folder + "/day.csv";
        return WriteDay(file) ? file : std::string{};
    }();
    return path;
}

std::vector<output::LogRun> ReadRuns(const std::string& path) {
    output::LogFileLoad load(path);
    while (load.Step()) {
    }
    return load.reader().TakeRuns();
}

void BM_ReadDay(benchmark::State& state) {
    const std::string& path = DayLog();
    for (auto _ : state) {
        const std::vector<output::LogRun> runs = ReadRuns(path);
        if (runs.size() != 1 || runs[0].Lines() != static_cast<std::size_t>(LinesPerDay)) {
            state.SkipWithError("the day was not read whole");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * LinesPerDay);
}
BENCHMARK(BM_ReadDay)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadDay(benchmark::State& state) {
    const std::string& path = DayLog();
    for (auto _ : state) {
        const std::vector<output::LogRun> runs = ReadRuns(path);
        widgets::StripChart chart;
        views::ShowRuns(chart, {&runs.front()});
        if (chart.History(2).Size() != static_cast<std::size_t>(LinesPerDay)) {
            state.SkipWithError("the day did not reach the chart whole");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * LinesPerDay);
    state.counters["goal_ms"] = LoadGoalMs;
}
BENCHMARK(BM_LoadDay)->Unit(benchmark::kMillisecond)->UseRealTime();

// range(0): 1 shows the whole day, 0 one minute in its middle.
void BM_Repaint(benchmark::State& state) {
    const std::vector<output::LogRun> runs = ReadRuns(DayLog());
    widgets::StripChart chart;
    views::SetUpReplayChart(chart);
    views::ShowRuns(chart, {&runs.front()});
    chart.resize(1600, 900);
    if (state.range(0) == 0) {
        const double latest = chart.LatestTime();
        chart.timeWindow().Zoom(60.0 / chart.timeWindow().Span(), latest, latest);
        chart.timeWindow().ScrollBy(-latest / 2.0, 0.0, latest);
    }
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        chart.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_Repaint)->ArgName("whole")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    constexpr std::string_view WriteOption = "--write-log=";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with(WriteOption)) {
            return WriteDay(std::string(arg.substr(WriteOption.size()))) ? 0 : 1;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!DayLog().empty()) {
        std::filesystem::remove_all(std::filesystem::path(DayLog()).parent_path());
    }
    return 0;
}
