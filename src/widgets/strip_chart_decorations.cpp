// The strip chart's decorations: the band they take under the plot, their
// painting, tool tips, and scrolling to a moment they point at.
#include "widgets/strip_chart.h"

#include <QPainter>
#include <algorithm>

namespace qmt::widgets {

void StripChart::AddDecoration(ChartDecoration* decoration) {
    decorations_.push_back(decoration);
    update();
}

void StripChart::RemoveDecoration(ChartDecoration* decoration) {
    std::erase(decorations_, decoration);
    update();
}

int StripChart::DecorationBandHeight(const QFontMetrics& metrics) const {
    int height = 0;
    for (const ChartDecoration* decoration : decorations_) {
        height += decoration->BandHeight(metrics);
    }
    return height;
}

int StripChart::DecorationLabelWidth() const {
    int width = 0;
    for (const ChartDecoration* decoration : decorations_) {
        width = std::max(width, decoration->LabelWidth(font()));
    }
    return width;
}

QString StripChart::TraceName(int index) const {
    return traces_.at(static_cast<std::size_t>(std::clamp(index, 0, TraceCount - 1))).name;
}

QRect StripChart::BandRect() const {
    return ComputeLayout().band;
}

void StripChart::PaintDecorations(QPainter& painter, const Layout& layout,
                                  const QRect& exposed) const {
    // Decorations keep inside their rectangles themselves: a clip would take
    // the painter off its fast paths.
    QRect band = layout.band;
    const QFontMetrics metrics = fontMetrics();
    for (const ChartDecoration* decoration : decorations_) {
        painter.save();
        decoration->PaintPlot(painter, *this, layout.plot);
        const int height = decoration->BandHeight(metrics);
        if (height > 0) {
            decoration->PaintBand(painter, *this,
                                  QRect(band.left(), band.top(), band.width(), height), layout.plot,
                                  exposed);
            band.setTop(band.top() + height);
        }
        painter.restore();
    }
}

QString StripChart::DecorationToolTip(const QPoint& pos) const {
    const Layout layout = ComputeLayout();
    if (!layout.band.contains(pos)) {
        return {};
    }
    int top = layout.band.top();
    const QFontMetrics metrics = fontMetrics();
    for (const ChartDecoration* decoration : decorations_) {
        const int height = decoration->BandHeight(metrics);
        const QRect own(layout.band.left(), top, layout.band.width(), height);
        if (height > 0 && own.contains(pos)) {
            return decoration->BandToolTip(*this, own, layout.plot, pos);
        }
        top += height;
    }
    return {};
}

void StripChart::ScrollTo(double t) {
    const double latest = LatestTime();
    timeWindow_.Pause(latest);
    const TimeRange range = timeWindow_.Range(latest);
    timeWindow_.ScrollBy(t - (range.start + range.end) / 2.0, EarliestTime(), latest);
    update();
}

} // namespace qmt::widgets
