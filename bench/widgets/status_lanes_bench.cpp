// The alert timeline's goal: with 24 hours of history, twelve status lanes
// and the limit lines add under 20 % to a repaint of the strip chart.
//   BM_Repaint/whole:W/lanes:L   a 1600x900 offscreen repaint of three traces
//                                (20 samples a second) with the lanes and lines
//                                (L=1) or without (L=0), the whole day (W=1) or
//                                its last minute (W=0) in view;
//   BM_LaneColumns/whole:W       one day-long lane (5 reads a second, a change
//                                now and then, bursts of them) folded into 1600
//                                columns: the same cost for the day as the minute.
//
//   bench_status_lanes [--benchmark_filter=Repaint]
#include "widgets/level_lines.h"
#include "widgets/status_lanes.h"
#include "widgets/strip_chart.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <random>

namespace {

using namespace qmt::widgets;

constexpr double Period = 0.05;
constexpr double PollPeriod = 0.2;
constexpr double Start = 36000.0;
constexpr double Day = 86400.0;
constexpr int Lanes = 12;

float Reading(long i, int trace) {
    const double t = static_cast<double>(i) * Period;
    return static_cast<float>(25.0 + 10.0 * trace + 5.0 * std::sin(t / 600.0) +
                              0.3 * std::sin(t * 3.1));
}

QStringList LaneNames() {
    QStringList names;
    for (int i = 0; i < Lanes; ++i) {
        names << QStringLiteral("Remote1 THERM");
    }
    return names;
}

// Reads of one lane for a day: a change now and then, bursts every few hours.
void FillLane(StatusLanes& lanes, int lane, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    bool on = false;
    const long polls = static_cast<long>(Day / PollPeriod);
    for (long i = 0; i < polls; ++i) {
        if (chance(random) < (i % 50'000 < 300 ? 0.3 : 0.0005)) {
            on = !on;
        }
        lanes.Record(lane, Start + static_cast<double>(i) * PollPeriod, on,
                     on ? QStringLiteral("set") : QStringLiteral("cleared"));
    }
}

struct Chart {
    std::unique_ptr<StripChart> chart = std::make_unique<StripChart>();
    StatusLanes lanes{LaneNames()};
    LevelLines lines{QStringLiteral("Show limits")};
};

std::unique_ptr<Chart> DayChart(bool decorated) {
    auto day = std::make_unique<Chart>();
    StripChart& chart = *day->chart;
    auto now = std::make_shared<double>(Start);
    chart.SetTimeSource([now] { return *now; });
    const long samples = static_cast<long>(Day / Period);
    for (long i = 0; i < samples; ++i) {
        for (int trace = 0; trace < StripChart::TraceCount; ++trace) {
            chart.AddSample(trace, static_cast<double>(Reading(i, trace)));
        }
        *now += Period;
    }
    if (decorated) {
        for (int lane = 0; lane < Lanes; ++lane) {
            FillLane(day->lanes, lane, static_cast<unsigned>(lane + 1));
        }
        for (int trace = 0; trace < StripChart::TraceCount; ++trace) {
            day->lines.SetLevels(trace, {20.0 + 10.0 * trace, 30.0 + 10.0 * trace, 85.0});
        }
        chart.AddDecoration(&day->lines);
        chart.AddDecoration(&day->lanes);
    }
    chart.resize(1600, 900);
    return day;
}

void BM_Repaint(benchmark::State& state) {
    const std::unique_ptr<Chart> day = DayChart(state.range(1) != 0);
    StripChart& chart = *day->chart;
    if (state.range(0) != 0) {
        const double all = chart.LatestTime() - Start;
        chart.timeWindow().Zoom(all / chart.timeWindow().Span(), chart.LatestTime(), all);
    }
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        chart.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_Repaint)
    ->ArgNames({"whole", "lanes"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

void BM_LaneColumns(benchmark::State& state) {
    StatusLanes lanes{QStringList{QStringLiteral("Local High")}};
    FillLane(lanes, 0, 3);
    const LaneHistory& lane = lanes.Lane(0);
    const double end = lane.LastTime();
    const double start = state.range(0) != 0 ? Start : end - 60.0;
    std::vector<LaneColumn> columns;
    for (auto _ : state) {
        lane.Columns(start, end, 1600, columns);
        benchmark::DoNotOptimize(columns.data());
    }
    state.counters["changes"] = static_cast<double>(lane.ChangeTimes().size());
}
BENCHMARK(BM_LaneColumns)->ArgNames({"whole"})->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
