// The strip chart's layout and painting.
#include "widgets/plot_raster.h"
#include "widgets/strip_chart.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

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

void StripChart::BuildEnvelopes(const TimeRange& range, int columns) {
    hasData_ = false;
    for (Trace& trace : traces_) {
        if (!trace.visible) {
            trace.envelope.clear();
            continue;
        }
        BuildEnvelope(trace.history, range.start, range.end, columns, trace.envelope);
        for (const EnvelopeColumn& column : trace.envelope) {
            if (!column.filled) {
                continue;
            }
            const double low = column.min;
            const double high = column.max;
            dataLow_ = hasData_ ? std::min(dataLow_, low) : low;
            dataHigh_ = hasData_ ? std::max(dataHigh_, high) : high;
            hasData_ = true;
        }
    }
}

void StripChart::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const Layout layout = ComputeLayout();
    const PausedMarks paused = ComputePausedMarks(layout);
    const QColor base = palette().color(QPalette::Base);
    if (layout.legend.contains(event->rect())) {
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
        return;
    }
    // The plot image covers its rectangle; only the margins need filling.
    painter.fillRect(QRect(0, 0, width(), plot.top()), base);
    painter.fillRect(QRect(0, plot.bottom() + 1, width(), height() - plot.bottom() - 1), base);
    painter.fillRect(QRect(0, plot.top(), plot.left(), plot.height()), base);
    painter.fillRect(QRect(plot.right() + 1, plot.top(), width() - plot.right() - 1, plot.height()),
                     base);

    const double ratio = devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::lround(plot.width() * ratio)),
                       static_cast<int>(std::lround(plot.height() * ratio)));
    const TimeRange time = VisibleTimeRange();
    BuildEnvelopes(time, pixels.width());
    paintedColumns_ = pixels.width();
    paintedRange_ = time;
    paintedValues_ = CurrentValueRange();
    const QFontMetrics metrics = fontMetrics();
    const Ticks ticks{
        TimeTickStep(time.end - time.start, plot.width(), TextMeasures().timeLabelSpace * 1.6),
        ValueTickStep(paintedValues_.high - paintedValues_.low, plot.height(),
                      metrics.height() * 2.0)};
    RenderPlot(pixels, ticks);
    plotImage_.setDevicePixelRatio(ratio);
    painter.drawImage(plot.topLeft(), plotImage_);
    PaintAxes(painter, layout, ticks);
    PaintLegend(painter, layout.legend);
    PaintLiveLabel(painter, paused.live);
    PaintHandles(painter, layout);
    PaintDecorations(painter, layout);
    PaintPausedBanner(painter, paused);
}

void StripChart::RenderPlot(QSize pixels, const Ticks& ticks) {
    if (plotImage_.size() != pixels) {
        plotImage_ = QImage(pixels, QImage::Format_RGB32);
    }
    plotImage_.setDevicePixelRatio(1.0);
    plotImage_.fill(palette().color(QPalette::Base));
    const QRgb grid = palette().color(QPalette::Midlight).rgb();
    const TimeRange& time = paintedRange_;
    const double span = time.end - time.start;
    for (double t = std::ceil(time.start / ticks.time) * ticks.time; t <= time.end;
         t += ticks.time) {
        RasterColumn(plotImage_, static_cast<int>((t - time.start) / span * pixels.width()), grid);
    }
    const ValueRange& values = paintedValues_;
    for (double v = std::ceil(values.low / ticks.value) * ticks.value; v <= values.high;
         v += ticks.value) {
        RasterRow(plotImage_, static_cast<int>(std::lround(PlotRow(v, values, pixels.height()))),
                  grid);
    }
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        joints_.clear();
        RasterTrace(plotImage_, traces_[i].envelope, values, TraceColours[i].rgb(), joints_);
        if (!joints_.isEmpty()) {
            // Only while no pixels are written directly. A cosmetic pen takes
            // the raster engine's fast line path.
            QPainter painter(&plotImage_);
            painter.setPen(QPen(TraceColours[i], 0.0));
            painter.drawLines(joints_);
        }
    }
}

void StripChart::PaintAxes(QPainter& painter, const Layout& layout, const Ticks& ticks) const {
    const QRect& plot = layout.plot;
    const QFontMetrics metrics = fontMetrics();
    painter.setPen(palette().color(QPalette::Text));
    const TimeRange& time = paintedRange_;
    const double span = time.end - time.start;
    const AxisLabels::Format timeText = [this](double t) {
        return QString::fromStdString(timeFormat_ ? timeFormat_(t) : TimeLabel(t));
    };
    const AxisLabels::Format valueText = [&ticks](double v) { return ValueLabel(v, ticks.value); };
    for (double t = std::ceil(time.start / ticks.time) * ticks.time; t <= time.end;
         t += ticks.time) {
        const int x = plot.left() + static_cast<int>((t - time.start) / span * plot.width());
        // A label is centred under its line or left out: one pushed aside
        // would crowd its neighbour.
        const AxisLabel& label = timeLabels_.At(t, ticks.time, metrics, timeText);
        const int left = x - label.width / 2;
        if (left >= layout.valueAxis.left() &&
            left + label.width <= layout.timeAxis.right() - HandleSize) {
            painter.drawStaticText(left, layout.timeAxis.top() + 2, label.text);
        }
    }
    const ValueRange& values = paintedValues_;
    for (double v = std::ceil(values.low / ticks.value) * ticks.value; v <= values.high;
         v += ticks.value) {
        const int y = plot.top() + static_cast<int>(std::lround(PlotRow(v, values, plot.height())));
        const AxisLabel& label = valueLabels_.At(std::abs(v) < ticks.value / 2 ? 0.0 : v,
                                                 ticks.value, metrics, valueText);
        painter.drawStaticText(layout.valueAxis.right() - 4 - label.width + 1,
                               y - metrics.height() / 2, label.text);
    }
    painter.drawRect(plot.adjusted(0, 0, -1, -1));
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
            trace.captionText = QStaticText(trace.caption);
            trace.captionText.setTextFormat(Qt::PlainText);
            trace.captionWidth = metrics.horizontalAdvance(trace.caption);
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
