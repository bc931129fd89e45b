// The strip chart's layout and painting.
#include "widgets/plot_raster.h"
#include "widgets/strip_chart.h"

#include <QBackingStore>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace qmt::widgets {

namespace {

constexpr int Margin = 6;
constexpr int HandleSize = 12;

const std::array<QColor, StripChart::TraceCount> TraceColours = {
    QColor(0, 90, 200), QColor(200, 30, 30), QColor(0, 140, 60)};

QString ValueLabel(double value, double step) {
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    return QString::number(value, 'f', decimals);
}

} // namespace

const StripChart::Measures& StripChart::TextMeasures() const {
    if (!measures_) {
        const QFontMetrics metrics = fontMetrics();
        measures_ =
            Measures{metrics.height(), metrics.horizontalAdvance(QStringLiteral("-0000.00")),
                     metrics.horizontalAdvance(QStringLiteral("00 00 00"))};
    }
    return *measures_;
}

void StripChart::ForgetTextMeasures() {
    measures_.reset();
    timeLabels_.Clear();
    valueLabels_.Clear();
    for (const Trace& trace : traces_) {
        trace.captionWidth = -1;
    }
}

StripChart::Layout StripChart::ComputeLayout() const {
    const QFontMetrics metrics = fontMetrics();
    const int line = TextMeasures().line;
    const int labelWidth = TextMeasures().valueLabelWidth;
    Layout layout;
    const QRect all = rect().adjusted(Margin, Margin, -Margin, -Margin);
    layout.legend = QRect(all.left(), all.top(), all.width(), line + 4);
    const int left = all.left() + std::max(line + 4 + labelWidth, DecorationLabelWidth()) + 4;
    const int axisTop = all.bottom() - (line + 6);
    const int band = DecorationBandHeight(metrics);
    const int bottom = axisTop - band;
    layout.plot = QRect(QPoint(left, layout.legend.bottom() + 4), QPoint(all.right(), bottom));
    layout.band = QRect(QPoint(all.left(), bottom + 1), QPoint(all.right(), axisTop));
    layout.timeAxis =
        QRect(QPoint(layout.plot.left(), axisTop + 1), QPoint(layout.plot.right(), all.bottom()));
    layout.valueAxis = QRect(QPoint(all.left(), layout.plot.top()),
                             QPoint(layout.plot.left() - 1, layout.plot.bottom()));
    return layout;
}

QColor StripChart::TraceColour(int index) {
    return TraceColours.at(static_cast<std::size_t>(std::clamp(index, 0, TraceCount - 1)));
}

QRect StripChart::PlotRect() const {
    return ComputeLayout().plot;
}

void StripChart::BuildEnvelopes(int columns) {
    for (Trace& trace : traces_) {
        if (trace.visible) {
            BuildEnvelope(trace.history, paintedColumnTimes_, columns, trace.envelope);
        } else {
            trace.envelope.clear();
        }
    }
    MeasureEnvelopes();
}

void StripChart::MeasureEnvelopes() {
    // Runs at every scroll over every column: kept to a compare or two each.
    float low = std::numeric_limits<float>::infinity();
    float high = -std::numeric_limits<float>::infinity();
    bool any = false;
    for (const Trace& trace : traces_) {
        for (const EnvelopeColumn& column : trace.envelope) {
            if (column.filled) {
                low = std::min(low, column.min);
                high = std::max(high, column.max);
                any = true;
            }
        }
    }
    hasData_ = any && low <= high; // not for samples that are all NaN
    if (hasData_) {
        dataLow_ = static_cast<double>(low);
        dataHigh_ = static_cast<double>(high);
    }
}

StripChart::Ticks StripChart::TicksFor(const Layout& layout) const {
    const QRect& plot = layout.plot;
    return {TimeTickStep(paintedRange_.end - paintedRange_.start, plot.width(),
                         TextMeasures().timeLabelSpace * 1.6),
            ValueTickStep(paintedValues_.high - paintedValues_.low, plot.height(),
                          TextMeasures().line * 2.0)};
}

bool StripChart::OnScreen(const QPainter& painter) const {
    // grab() and render() paint the widget elsewhere: what they draw is not
    // what the window shows, on which scrolling builds.
    QBackingStore* store = backingStore();
    const QPaintEngine* engine = painter.paintEngine();
    return store != nullptr && engine != nullptr && engine->paintDevice() == store->paintDevice();
}

void StripChart::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const Layout layout = ComputeLayout();
    const PausedMarks paused = ComputePausedMarks(layout);
    const QColor base = palette().color(QPalette::Base);
    const QRegion& region = event->region();
    const bool onScreen = OnScreen(painter);
    if (onScreen && region.intersects(layout.legend)) {
        grid_.legendStale = false;
    }
    if (layout.legend.contains(region.boundingRect())) {
        // Only the legend's texts changed.
        painter.fillRect(layout.legend, base);
        PaintLegend(painter, layout.legend);
        PaintLiveLabel(painter, paused.live);
        return;
    }
    const QRect& plot = layout.plot;
    if (plot.width() <= 0 || plot.height() <= 0) {
        painter.fillRect(rect(), base);
        paintedColumns_ = 0;
        grid_.valid = false;
        return;
    }
    const bool wholePlot = (QRegion(plot) - region).isEmpty();
    PreparePlotImage(layout, onScreen, wholePlot);
    const Ticks ticks = TicksFor(layout);

    // The plot image covers its rectangle; only the margins need filling.
    painter.fillRect(QRect(0, 0, width(), plot.top()), base);
    painter.fillRect(QRect(0, plot.bottom() + 1, width(), height() - plot.bottom() - 1), base);
    painter.fillRect(QRect(0, plot.top(), plot.left(), plot.height()), base);
    painter.fillRect(QRect(plot.right() + 1, plot.top(), width() - plot.right() - 1, plot.height()),
                     base);
    DrawPlotImage(painter, plot, wholePlot ? QRegion(plot) : region & plot, ticks);
    if (region.intersects(TimeLabelStrip(layout))) {
        PaintTimeLabels(painter, layout, ticks);
    }
    if (region.intersects(ValueLabelStrip(layout))) {
        PaintValueAxis(painter, layout, ticks);
    }
    // The frame as four lines of pixels: a stroked rectangle costs more.
    const QColor frame = palette().color(QPalette::Text);
    painter.fillRect(QRect(plot.left(), plot.top(), plot.width(), 1), frame);
    painter.fillRect(QRect(plot.left(), plot.bottom(), plot.width(), 1), frame);
    painter.fillRect(QRect(plot.left(), plot.top(), 1, plot.height()), frame);
    painter.fillRect(QRect(plot.right(), plot.top(), 1, plot.height()), frame);
    if (region.intersects(layout.legend)) {
        PaintLegend(painter, layout.legend);
        PaintLiveLabel(painter, paused.live);
    }
    if (region.intersects(QRect(layout.timeAxis.right() - HandleSize, layout.timeAxis.top(),
                                HandleSize + 1, layout.timeAxis.height())) ||
        region.intersects(QRect(layout.valueAxis.left(), layout.valueAxis.top(),
                                layout.valueAxis.width(), HandleSize + 1))) {
        PaintHandles(painter, layout);
    }
    PaintDecorations(painter, layout, region.boundingRect());
    PaintPausedBanner(painter, paused);
}

void StripChart::PreparePlotImage(const Layout& layout, bool onScreen, bool wholePlot) {
    bool renderWhole = !onScreen || wholePlot || !GridHolds(layout);
    if (!renderWhole) {
        const std::optional<int> drawn = RenderStaleColumns(layout);
        if (!drawn) {
            // The new columns moved the value range: everything is drawn again.
            renderWhole = true;
            update();
        } else if (*drawn < grid_.requestedFrom) {
            // Drawn further left than any update asked for (a trace's
            // joint across a gap): those columns need a paint of their own.
            update(StaleRect(*drawn));
        }
        grid_.requestedFrom = paintedColumns_;
    }
    if (renderWhole) {
        RenderWholePlot(layout, onScreen);
    }
}

void StripChart::DrawPlotImage(QPainter& painter, const QRect& plot, const QRegion& parts,
                               const Ticks& ticks) {
    if (grid_.valid) {
        // The image is not moved when the screen scrolls: columns shown
        // again (an expose, the edge of a window over the chart) are drawn
        // for the times they now stand for.
        for (const QRect& part : parts) {
            const int left = part.left() - plot.left();
            const int right = part.right() - plot.left();
            int first = -1;
            int last = -1;
            for (int c = left; c <= right; ++c) {
                if (imageColumns_[static_cast<std::size_t>(c)] != paintedColumnTimes_.first + c) {
                    first = first < 0 ? c : first;
                    last = c;
                }
            }
            if (first >= 0) {
                RenderColumns(first, last + 1, ticks);
            }
        }
    }
    const double ratio = devicePixelRatioF();
    plotImage_.setDevicePixelRatio(ratio);
    for (const QRect& part : parts) {
        painter.drawImage(
            QRectF(part), plotImage_,
            QRectF(QPointF(part.topLeft() - plot.topLeft()) * ratio, QSizeF(part.size()) * ratio));
    }
}

void StripChart::RenderWholePlot(const Layout& layout, bool onScreen) {
    const double ratio = devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::lround(layout.plot.width() * ratio)),
                       static_cast<int>(std::lround(layout.plot.height() * ratio)));
    const int columns = pixels.width();
    const double latest = LatestTime();
    // Scrolling moves whole pixels of the screen, so only a following chart
    // on the screen at one device pixel a pixel goes on the grid.
    if (onScreen && timeWindow_.Following() && ratio == 1.0 && columns >= 2) {
        ColumnTimes times{0.0, timeWindow_.Span() / columns, 0};
        const long long last = times.ColumnOf(latest);
        times.first = last - columns + 1;
        paintedColumnTimes_ = times;
        paintedRange_ = {times.Start(0), times.Start(columns)};
        grid_ = {.valid = true,
                 .span = timeWindow_.Span(),
                 .plot = layout.plot,
                 .band = layout.band,
                 .timeLabels = TimeLabelStrip(layout),
                 .legend = layout.legend,
                 .staleFrom = columns,
                 .requestedFrom = columns,
                 .shownUntil = latest,
                 .legendStale = grid_.legendStale};
    } else {
        paintedRange_ = VisibleTimeRange();
        paintedColumnTimes_ = {paintedRange_.start,
                               (paintedRange_.end - paintedRange_.start) / std::max(columns, 1), 0};
        grid_.valid = false;
    }
    BuildEnvelopes(columns);
    paintedColumns_ = columns;
    paintedValues_ = CurrentValueRange();
    if (plotImage_.size() != pixels) {
        plotImage_ = QImage(pixels, QImage::Format_RGB32);
    }
    imageColumns_.assign(grid_.valid ? static_cast<std::size_t>(columns) : 0, 0);
    RenderColumns(0, columns, TicksFor(layout));
}

void StripChart::RenderColumns(int from, int to, const Ticks& ticks) {
    plotImage_.setDevicePixelRatio(1.0);
    const int columns = plotImage_.width();
    const int rows = plotImage_.height();
    from = std::max(from, 0);
    to = std::min(to, columns);
    if (from >= to) {
        return;
    }
    const QRgb base = palette().color(QPalette::Base).rgb();
    const PixelRows pixels(plotImage_);
    for (int y = 0; y < rows; ++y) {
        std::fill(pixels.Row(y) + from, pixels.Row(y) + to, base);
    }
    const QRgb grid = palette().color(QPalette::Midlight).rgb();
    const TimeRange& time = paintedRange_;
    for (double t = std::ceil(time.start / ticks.time) * ticks.time; t <= time.end;
         t += ticks.time) {
        if (const long long x = paintedColumnTimes_.ColumnOf(t); x >= from && x < to) {
            RasterColumn(plotImage_, static_cast<int>(x), grid);
        }
    }
    const ValueRange& values = paintedValues_;
    for (double v = std::ceil(values.low / ticks.value) * ticks.value; v <= values.high;
         v += ticks.value) {
        RasterRow(plotImage_, static_cast<int>(std::lround(PlotRow(v, values, rows))), grid, from,
                  to);
    }
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        joints_.clear();
        RasterTrace(plotImage_, traces_[i].envelope, values, TraceColours[i].rgb(), joints_, from,
                    to);
        if (!joints_.isEmpty()) {
            // Only while no pixels are written directly. A cosmetic pen takes
            // the raster engine's fast line path.
            QPainter painter(&plotImage_);
            painter.setClipRect(from, 0, to - from, rows);
            painter.setPen(QPen(TraceColours[i], 0.0));
            painter.drawLines(joints_);
        }
    }
    if (imageColumns_.size() == static_cast<std::size_t>(columns)) {
        for (int c = from; c < to; ++c) {
            imageColumns_[static_cast<std::size_t>(c)] = paintedColumnTimes_.first + c;
        }
    }
}

QRect StripChart::TimeLabelStrip(const Layout& layout) const {
    return {QPoint(layout.valueAxis.left(), layout.timeAxis.top()),
            QPoint(layout.timeAxis.right() - HandleSize - 1, layout.timeAxis.bottom())};
}

QRect StripChart::ValueLabelStrip(const Layout& layout) const {
    return {QPoint(layout.valueAxis.left(), layout.legend.bottom() + 1),
            QPoint(layout.valueAxis.right(), layout.timeAxis.top() - 1)};
}

void StripChart::PaintTimeLabels(QPainter& painter, const Layout& layout,
                                 const Ticks& ticks) const {
    const QRect& plot = layout.plot;
    const QFontMetrics metrics = fontMetrics();
    painter.setPen(palette().color(QPalette::Text));
    const TimeRange& time = paintedRange_;
    const double perPixel = static_cast<double>(paintedColumns_) / plot.width();
    const AxisLabels::Format timeText = [this](double t) {
        return QString::fromStdString(timeFormat_ ? timeFormat_(t) : TimeLabel(t));
    };
    for (double t = std::ceil(time.start / ticks.time) * ticks.time; t <= time.end;
         t += ticks.time) {
        // At the grid line's column, so that a label moves with its line.
        const int x =
            plot.left() +
            static_cast<int>(static_cast<double>(paintedColumnTimes_.ColumnOf(t)) / perPixel);
        // A label is centred under its line or left out: one pushed aside
        // would crowd its neighbour.
        const AxisLabel& label = timeLabels_.At(t, ticks.time, metrics, timeText);
        const int left = x - label.width / 2;
        if (left >= layout.valueAxis.left() &&
            left + label.width <= layout.timeAxis.right() - HandleSize) {
            painter.drawStaticText(left, layout.timeAxis.top() + 2, label.text);
        }
    }
}

void StripChart::PaintValueAxis(QPainter& painter, const Layout& layout, const Ticks& ticks) const {
    const QRect& plot = layout.plot;
    const QFontMetrics metrics = fontMetrics();
    painter.setPen(palette().color(QPalette::Text));
    const AxisLabels::Format valueText = [&ticks](double v) { return ValueLabel(v, ticks.value); };
    const ValueRange& values = paintedValues_;
    const QRect strip = ValueLabelStrip(layout);
    for (double v = std::ceil(values.low / ticks.value) * ticks.value; v <= values.high;
         v += ticks.value) {
        const int y = plot.top() + static_cast<int>(std::lround(PlotRow(v, values, plot.height())));
        const AxisLabel& label = valueLabels_.At(std::abs(v) < ticks.value / 2 ? 0.0 : v,
                                                 ticks.value, metrics, valueText);
        // Like a time label, centred on its line or left out: one reaching
        // into the legend or the time axis would be cut by their repaints.
        const int top = y - metrics.height() / 2;
        if (top >= strip.top() && top + metrics.height() - 1 <= strip.bottom()) {
            painter.drawStaticText(layout.valueAxis.right() - 4 - label.width + 1, top, label.text);
        }
    }
    painter.save();
    painter.translate(layout.valueAxis.left() + metrics.ascent(), plot.center().y());
    painter.rotate(-90);
    const int captionWidth = metrics.horizontalAdvance(axisCaption_);
    painter.drawText(-captionWidth / 2, 0, axisCaption_);
    painter.restore();
}

void StripChart::PaintLegend(QPainter& painter, const QRect& legend) const {
    const QFontMetrics metrics = fontMetrics();
    int x = legend.left() + legend.height() * 3;
    const int mid = legend.center().y();
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        const Trace& trace = traces_[i];
        if (!trace.visible || trace.caption.isEmpty()) {
            continue;
        }
        painter.setPen(QPen(TraceColours[i], 2.0));
        painter.drawLine(x, mid, x + 16, mid);
        painter.setPen(palette().color(QPalette::Text));
        if (trace.captionWidth < 0) {
            // Laid out once, for the painter's font: the width comes from
            // that layout and the drawing reuses it.
            trace.captionText = QStaticText(trace.caption);
            trace.captionText.setTextFormat(Qt::PlainText);
            trace.captionText.prepare(painter.transform(), painter.font());
            trace.captionWidth = static_cast<int>(std::ceil(trace.captionText.size().width()));
        }
        painter.drawStaticText(x + 20, mid - metrics.height() / 2, trace.captionText);
        x += 20 + trace.captionWidth + 24;
    }
}

void StripChart::PaintHandles(QPainter& painter, const Layout& layout) const {
    // Double arrows show where a drag zooms: the time axis at its right end,
    // the value axis at its top.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Highlight));
    const int h = HandleSize / 2;
    const QPoint time(layout.timeAxis.right() - h, layout.timeAxis.top() + h + 1);
    painter.drawPolygon(
        QPolygon({time + QPoint(-h, 0), time + QPoint(-1, -h + 2), time + QPoint(-1, h - 2)}));
    painter.drawPolygon(
        QPolygon({time + QPoint(h, 0), time + QPoint(1, -h + 2), time + QPoint(1, h - 2)}));
    const QPoint value(layout.valueAxis.right() - h - 2, layout.valueAxis.top() + h);
    painter.drawPolygon(
        QPolygon({value + QPoint(0, -h), value + QPoint(-h + 2, -1), value + QPoint(h - 2, -1)}));
    painter.drawPolygon(
        QPolygon({value + QPoint(0, h), value + QPoint(-h + 2, 1), value + QPoint(h - 2, 1)}));
    painter.restore();
}

} // namespace qmt::widgets
