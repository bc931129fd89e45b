// The strip chart's goals for a soak run of days:
//   BM_Append/N        appending N samples to one trace's history: constant
//                      time per sample, under 1 us, from 1e4 to 1e7 samples;
//   BM_Repaint/...     a 1600x900 offscreen repaint of three traces with one
//                      minute and with 24 hours of history at 20 samples a
//                      second (the whole day in view, and its last minute):
//                      the day costs at most 1.5x the minute, under 4 ms;
//   BM_DayOfHistory    24 hours of three traces, resident size under 100 MB.
//
//   bench_strip_chart [--benchmark_filter=Repaint]
#include "widgets/strip_chart.h"
#include "widgets/trace_envelope.h"
#include "widgets/trace_history.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

using namespace qmt::widgets;

constexpr double Period = 0.05; // 20 samples a second
constexpr double Start = 36000.0;
constexpr long SamplesPerMinute = 60 * 20;
constexpr long SamplesPerDay = 24 * 60 * SamplesPerMinute;

// Readings that wander and now and then spike, so every level has work.
float Reading(long i, int trace) {
    const double t = static_cast<double>(i) * Period;
    const double spike = i % 7919 == 0 ? 15.0 : 0.0;
    return static_cast<float>(25.0 + 10.0 * trace + 5.0 * std::sin(t / 600.0) +
                              0.3 * std::sin(t * 3.1) + spike);
}

void BM_Append(benchmark::State& state) {
    const long count = state.range(0);
    for (auto _ : state) {
        TraceHistory history;
        for (long i = 0; i < count; ++i) {
            history.Append(Start + static_cast<double>(i) * Period, Reading(i, 0));
        }
        benchmark::DoNotOptimize(history.Size());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_Append)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);

// A chart of three traces filled with `samples` feeds on its own clock.
std::unique_ptr<StripChart> FilledChart(long samples) {
    auto chart = std::make_unique<StripChart>();
    auto now = std::make_shared<double>(Start);
    chart->SetTimeSource([now] { return *now; });
    for (int trace = 1; trace <= StripChart::TraceCount; ++trace) {
        chart->SelectTrace(trace);
        chart->SetTraceCaption(QStringLiteral("Trace %1 = 25.00°C").arg(trace));
    }
    chart->SetAxisCaption(QStringLiteral("Temperature (°C)"));
    for (long i = 0; i < samples; ++i) {
        for (int trace = 0; trace < StripChart::TraceCount; ++trace) {
            chart->AddSample(trace, static_cast<double>(Reading(i, trace)));
        }
        *now += Period;
    }
    chart->resize(1600, 900);
    return chart;
}

// range(0): feeds of history; range(1): 1 shows all of it, 0 the last minute.
void BM_Repaint(benchmark::State& state) {
    const std::unique_ptr<StripChart> chart = FilledChart(state.range(0));
    if (state.range(1) != 0) {
        const double all = chart->LatestTime() - Start;
        chart->timeWindow().Zoom(all / chart->timeWindow().Span(), chart->LatestTime(), all);
    }
    QImage image(chart->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        chart->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_Repaint)
    ->ArgNames({"feeds", "whole"})
    ->Args({SamplesPerMinute, 0})
    ->Args({SamplesPerDay, 0})
    ->Args({SamplesPerDay, 1})
    ->Unit(benchmark::kMillisecond);

// The data side of a repaint alone: one trace folded into 1600 columns.
void BM_Envelope(benchmark::State& state) {
    TraceHistory history;
    for (long i = 0; i < state.range(0); ++i) {
        history.Append(Start + static_cast<double>(i) * Period, Reading(i, 0));
    }
    const double end = history.TimeAt(history.Size() - 1);
    const double start = state.range(1) != 0 ? Start : end - 60.0;
    std::vector<EnvelopeColumn> columns;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildEnvelope(history, start, end, 1600, columns));
    }
}
BENCHMARK(BM_Envelope)
    ->ArgNames({"samples", "whole"})
    ->Args({SamplesPerMinute, 0})
    ->Args({SamplesPerDay, 0})
    ->Args({SamplesPerDay, 1})
    ->Unit(benchmark::kMicrosecond);

double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1e6;
}

void BM_DayOfHistory(benchmark::State& state) {
    for (auto _ : state) {
        const double before = ResidentMegabytes();
        const std::unique_ptr<StripChart> chart = FilledChart(SamplesPerDay);
        state.counters["resident_MB"] = ResidentMegabytes() - before;
        double stored = 0.0;
        for (int trace = 0; trace < StripChart::TraceCount; ++trace) {
            stored += static_cast<double>(chart->History(trace).MemoryBytes());
        }
        state.counters["stored_MB"] = stored / 1e6;
    }
}
BENCHMARK(BM_DayOfHistory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
