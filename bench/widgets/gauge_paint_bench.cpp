// One repaint of a 300 x 300 px gauge, offscreen. Goal: under 1 ms.
//
//   bench_gauge_paint            # Google Benchmark options apply
//
// GaugeRepaint is the common case: the value and caption change every
// refresh, the face and scale come from the widget's cache. GaugeFirstPaint
// also draws the face and scale, as after a resize or a change of scale.
#include "widgets/gauge.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

using qmt::widgets::Gauge;
using qmt::widgets::GaugePointer;

constexpr int Side = 300;

void SetUp(Gauge& gauge) {
    gauge.SetScale(0, 256);
    gauge.SetPointer(GaugePointer::Low, 10);
    gauge.SetPointer(GaugePointer::High, 70.25);
    gauge.SetPointer(GaugePointer::Therm, 85);
    gauge.resize(Side, Side);
}

void GaugeRepaint(benchmark::State& state) {
    Gauge gauge(0);
    SetUp(gauge);
    QImage image(Side, Side, QImage::Format_ARGB32_Premultiplied);
    gauge.render(&image);
    double t = 20.0;
    for (auto _ : state) {
        t = t > 90.0 ? 20.0 : t + 0.25;
        gauge.SetValue(t);
        gauge.SetCaption(QString::number(t) + QStringLiteral("\u00B0C"));
        gauge.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(GaugeRepaint)->Unit(benchmark::kMicrosecond);

void GaugeFirstPaint(benchmark::State& state) {
    Gauge gauge(0);
    SetUp(gauge);
    QImage image(Side, Side, QImage::Format_ARGB32_Premultiplied);
    bool extended = false;
    for (auto _ : state) {
        extended = !extended;
        const double lower = extended ? -64.0 : 0.0;
        gauge.SetScale(lower, lower + 256);
        gauge.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(GaugeFirstPaint)->Unit(benchmark::kMicrosecond);

} // namespace
