#include "widgets/level_lines.h"

#include "widgets/plot_raster.h"
#include "widgets/strip_chart.h"

#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace qmt::widgets {

LevelLines::Trace& LevelLines::At(int trace) {
    return traces_.at(static_cast<std::size_t>(trace));
}

const LevelLines::Trace& LevelLines::At(int trace) const {
    return traces_.at(static_cast<std::size_t>(trace));
}

void LevelLines::SetLevels(int trace, std::vector<double> levels) {
    At(trace).levels = std::move(levels);
}

const std::vector<double>& LevelLines::Levels(int trace) const {
    return At(trace).levels;
}

void LevelLines::SetShown(int trace, bool shown) {
    At(trace).shown = shown;
}

bool LevelLines::Shown(int trace) const {
    return At(trace).shown;
}

const QImage& LevelLines::DashRow(int trace, int width) const {
    // A dashed line as one row of pixels, made once per width: drawing it is
    // a copy, where a dashed pen is stroked dash by dash at every repaint.
    // Wider by one period, so that it can be drawn from any phase.
    QImage& row = dashes_.at(static_cast<std::size_t>(trace));
    if (const int full = std::max(width, 1) + DashPixels + GapPixels; row.width() != full) {
        row = QImage(full, 1, QImage::Format_ARGB32_Premultiplied);
        const QRgb colour = StripChart::TraceColour(trace).rgb();
        auto* pixels = reinterpret_cast<QRgb*>(row.bits());
        for (int x = 0; x < row.width(); ++x) {
            pixels[x] = x % (DashPixels + GapPixels) < DashPixels ? colour : 0;
        }
    }
    return row;
}

void LevelLines::PaintPlot(QPainter& painter, const StripChart& chart, const QRect& plot) const {
    const ValueRange values = chart.PaintedValueRange();
    if (values.high <= values.low) {
        return;
    }
    // The dashes keep their place on the chart's columns as the plot scrolls.
    constexpr long long Period = DashPixels + GapPixels;
    const int phase = static_cast<int>((chart.PaintedColumns().first % Period + Period) % Period);
    for (int i = 0; i < TraceCount; ++i) {
        const Trace& trace = At(i);
        if (!trace.shown || !chart.TraceVisible(i)) {
            continue;
        }
        for (const double level : trace.levels) {
            if (level < values.low || level > values.high) {
                continue;
            }
            const int y = std::min(
                plot.bottom(),
                plot.top() + static_cast<int>(std::lround(PlotRow(level, values, plot.height()))));
            // Inside the plot's frame, which does not scroll.
            painter.drawImage(plot.left() + 1, y, DashRow(i, plot.width()), phase + 1, 0,
                              plot.width() - 2, 1);
        }
    }
}

void LevelLines::AddMenuActions(QMenu& menu, StripChart& chart) {
    QMenu* sub = menu.addMenu(menuTitle_);
    for (int i = 0; i < TraceCount; ++i) {
        if (!chart.TraceVisible(i)) {
            continue;
        }
        QAction* action = sub->addAction(chart.TraceName(i));
        action->setCheckable(true);
        action->setChecked(At(i).shown);
        QObject::connect(action, &QAction::toggled, &chart, [this, i, &chart](bool on) {
            At(i).shown = on;
            chart.update();
        });
    }
}

} // namespace qmt::widgets
