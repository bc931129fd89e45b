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

void LevelLines::PaintPlot(QPainter& painter, const StripChart& chart, const QRect& plot) const {
    const ValueRange values = chart.PaintedValueRange();
    if (values.high <= values.low) {
        return;
    }
    for (int i = 0; i < TraceCount; ++i) {
        const Trace& trace = At(i);
        if (!trace.shown || !chart.TraceVisible(i)) {
            continue;
        }
        QPen pen(StripChart::TraceColour(i), 0.0, Qt::DashLine);
        painter.setPen(pen);
        for (const double level : trace.levels) {
            if (level < values.low || level > values.high) {
                continue;
            }
            const int y =
                plot.top() + static_cast<int>(std::lround(PlotRow(level, values, plot.height())));
            painter.drawLine(plot.left(), y, plot.right(), y);
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
