#include "widgets/strip_chart.h"

#include "widgets/chart_export.h"
#include "widgets/plot_raster.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHelpEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QTime>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <fstream>

namespace qmt::widgets {

namespace {

// Samples of different traces closer together than this share a time stamp.
constexpr double SameStampSeconds = 0.001;
// The longest a following chart waits before it shows a new sample.
constexpr double MaxStaleSeconds = 1.0;
// Pixels of drag that scale a range by e (about 2.7).
constexpr double DragPixelsPerE = 150.0;
constexpr double WheelStepFactor = 0.8;
constexpr int Margin = 6;
constexpr int HandleSize = 12;

const std::array<QColor, StripChart::TraceCount> TraceColours = {
    QColor(0, 90, 200), QColor(200, 30, 30), QColor(0, 140, 60)};

int Index(int i) {
    return std::clamp(i, 0, StripChart::TraceCount - 1);
}

QString ValueLabel(double value, double step) {
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    return QString::number(value, 'f', decimals);
}

} // namespace

StripChart::StripChart(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (int i = 0; i < TraceCount; ++i) {
        traces_[static_cast<std::size_t>(i)].name = QStringLiteral("Trace %1").arg(i + 1);
    }
}

StripChart::~StripChart() = default;

void StripChart::SetTimeSource(TimeSource source) {
    timeSource_ = std::move(source);
}

void StripChart::SetNumberFormat(NumberFormat format) {
    numberFormat_ = std::move(format);
}

void StripChart::SetAxisCaption(const QString& caption) {
    axisCaption_ = caption;
    update();
}

double StripChart::Now() const {
    const double secondsOfDay =
        timeSource_ ? timeSource_() : QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
    return dayClock_.Unwrap(secondsOfDay);
}

void StripChart::AddSample(int index, double value) {
    const std::size_t slot = static_cast<std::size_t>(Index(index));
    double t = Now();
    if (stampValid_ && !stampUsed_[slot] && t - stampTime_ < SameStampSeconds) {
        t = stampTime_;
    } else {
        stampTime_ = t;
        stampUsed_.fill(false);
        stampValid_ = true;
    }
    stampUsed_[slot] = true;
    traces_[slot].history.Append(t, static_cast<float>(value));
    if (timeWindow_.Following() && traces_[slot].visible && ScrolledSincePaint(t)) {
        update();
    }
}

bool StripChart::ScrolledSincePaint(double latest) const {
    // Repainting for less than a pixel of movement only burns CPU; the
    // legend shows the newest values meanwhile. Never staler than a second.
    if (paintedColumns_ <= 0) {
        return true;
    }
    const double column = timeWindow_.Span() / paintedColumns_;
    return latest - paintedRange_.end >= std::min(column, MaxStaleSeconds);
}

void StripChart::SelectTrace(int number) {
    selectedTrace_ = Index(number - 1) + 1;
}

void StripChart::SetTraceCaption(const QString& caption) {
    Trace& trace = traces_[static_cast<std::size_t>(selectedTrace_ - 1)];
    if (trace.caption != caption) {
        trace.caption = caption;
        update(ComputeLayout().legend);
    }
}

QString StripChart::TraceCaption(int number) const {
    return traces_[static_cast<std::size_t>(Index(number - 1))].caption;
}

void StripChart::SelectVisibilityTrace(int index) {
    visibilityTrace_ = Index(index);
}

void StripChart::SetTraceVisible(bool visible) {
    traces_[static_cast<std::size_t>(visibilityTrace_)].visible = visible;
    update();
}

bool StripChart::TraceVisible(int index) const {
    return traces_[static_cast<std::size_t>(Index(index))].visible;
}

void StripChart::SetTraceName(int index, const QString& name) {
    traces_[static_cast<std::size_t>(Index(index))].name = name;
}

const TraceHistory& StripChart::History(int index) const {
    return traces_[static_cast<std::size_t>(Index(index))].history;
}

double StripChart::LatestTime() const {
    bool any = false;
    double latest = 0.0;
    for (const Trace& trace : traces_) {
        if (!trace.history.Empty()) {
            const double last = trace.history.TimeAt(trace.history.Size() - 1);
            latest = any ? std::max(latest, last) : last;
            any = true;
        }
    }
    return any ? latest : Now();
}

double StripChart::EarliestTime() const {
    bool any = false;
    double earliest = 0.0;
    for (const Trace& trace : traces_) {
        if (!trace.history.Empty()) {
            const double first = trace.history.TimeAt(0);
            earliest = any ? std::min(earliest, first) : first;
            any = true;
        }
    }
    return any ? earliest : LatestTime();
}

TimeRange StripChart::VisibleTimeRange() const {
    return timeWindow_.Range(LatestTime());
}

ValueRange StripChart::CurrentValueRange() const {
    return valueWindow_.Range(dataLow_, dataHigh_, hasData_);
}

void StripChart::PauseScrolling() {
    timeWindow_.Pause(LatestTime());
    update();
}

void StripChart::ResumeScrolling() {
    timeWindow_.Resume();
    update();
}

QString StripChart::NumberText(double value) const {
    return numberFormat_ ? QString::fromStdString(numberFormat_(value))
                         : QString::number(value, 'g', 7);
}

// Layout and painting ---------------------------------------------------------

StripChart::Layout StripChart::ComputeLayout() const {
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();
    const int labelWidth = metrics.horizontalAdvance(QStringLiteral("-0000.00"));
    Layout layout;
    const QRect all = rect().adjusted(Margin, Margin, -Margin, -Margin);
    layout.legend = QRect(all.left(), all.top(), all.width(), line + 4);
    const int left = all.left() + line + 4 + labelWidth + 4;
    const int bottom = all.bottom() - (line + 6);
    layout.plot = QRect(QPoint(left, layout.legend.bottom() + 4), QPoint(all.right(), bottom));
    layout.timeAxis = QRect(QPoint(layout.plot.left(), layout.plot.bottom() + 1),
                            QPoint(layout.plot.right(), all.bottom()));
    layout.valueAxis = QRect(QPoint(all.left(), layout.plot.top()),
                             QPoint(layout.plot.left() - 1, layout.plot.bottom()));
    return layout;
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
    const QColor base = palette().color(QPalette::Base);
    if (layout.legend.contains(event->rect())) {
        // Only the legend's texts changed.
        painter.fillRect(layout.legend, base);
        PaintLegend(painter, layout.legend);
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
    const Ticks ticks{TimeTickStep(time.end - time.start, plot.width(),
                                   metrics.horizontalAdvance(QStringLiteral("00 00 00")) * 1.6),
                      ValueTickStep(paintedValues_.high - paintedValues_.low, plot.height(),
                                    metrics.height() * 2.0)};
    RenderPlot(pixels, ticks);
    plotImage_.setDevicePixelRatio(ratio);
    painter.drawImage(plot.topLeft(), plotImage_);
    PaintAxes(painter, layout, ticks);
    PaintLegend(painter, layout.legend);
    PaintHandles(painter, layout);
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
    for (double t = std::ceil(time.start / ticks.time) * ticks.time; t <= time.end;
         t += ticks.time) {
        const int x = plot.left() + static_cast<int>((t - time.start) / span * plot.width());
        // A label is centred under its line or left out: one pushed aside
        // would crowd its neighbour.
        const QString label = QString::fromStdString(TimeLabel(t));
        const int width = metrics.horizontalAdvance(label);
        const int left = x - width / 2;
        if (left >= layout.valueAxis.left() &&
            left + width <= layout.timeAxis.right() - HandleSize) {
            painter.drawText(left, layout.timeAxis.top() + 2 + metrics.ascent(), label);
        }
    }
    const ValueRange& values = paintedValues_;
    for (double v = std::ceil(values.low / ticks.value) * ticks.value; v <= values.high;
         v += ticks.value) {
        const int y = plot.top() + static_cast<int>(std::lround(PlotRow(v, values, plot.height())));
        const QString label = ValueLabel(std::abs(v) < ticks.value / 2 ? 0.0 : v, ticks.value);
        painter.drawText(QRect(layout.valueAxis.left(), y - metrics.height() / 2,
                               layout.valueAxis.width() - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, label);
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
        painter.drawText(x + 20, mid - metrics.height() / 2 + metrics.ascent(), trace.caption);
        x += 20 + metrics.horizontalAdvance(trace.caption) + 24;
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

// Interaction -------------------------------------------------------------------

StripChart::Drag StripChart::DragAt(const QPoint& pos) const {
    const Layout layout = ComputeLayout();
    if (layout.timeAxis.contains(pos)) {
        return Drag::ZoomTime;
    }
    if (layout.valueAxis.contains(pos)) {
        return Drag::ZoomValue;
    }
    return layout.plot.contains(pos) ? Drag::Scroll : Drag::None;
}

void StripChart::UpdateCursor(const QPoint& pos) {
    switch (DragAt(pos)) {
    case Drag::ZoomTime:
        setCursor(Qt::SizeHorCursor);
        break;
    case Drag::ZoomValue:
        setCursor(Qt::SizeVerCursor);
        break;
    case Drag::Scroll:
        setCursor(drag_ == Drag::Scroll ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
        break;
    case Drag::None:
        unsetCursor();
        break;
    }
}

void StripChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    drag_ = DragAt(event->position().toPoint());
    dragStart_ = event->position().toPoint();
    dragSpan_ = timeWindow_.Span();
    dragValues_ = paintedValues_;
    UpdateCursor(dragStart_);
}

void StripChart::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const QPoint moved = pos - dragStart_;
    const double latest = LatestTime();
    const double maxSpan = std::max((latest - EarliestTime()) * 1.1, TimeWindow::DefaultSpan);
    switch (drag_) {
    case Drag::ZoomTime: {
        // Dragging right stretches time (zooms in), left squeezes it.
        const double wanted = dragSpan_ * std::exp(-moved.x() / DragPixelsPerE);
        timeWindow_.Zoom(wanted / timeWindow_.Span(), latest, maxSpan);
        update();
        break;
    }
    case Drag::ZoomValue: {
        // Dragging up stretches the values (zooms in), down squeezes them.
        const double centre = (dragValues_.low + dragValues_.high) / 2.0;
        valueWindow_.Zoom(dragValues_, std::exp(moved.y() / DragPixelsPerE), centre);
        update();
        break;
    }
    case Drag::Scroll: {
        const int width = std::max(PlotRect().width(), 1);
        const double dt = -(pos.x() - dragStart_.x()) * timeWindow_.Span() / width;
        dragStart_ = pos;
        timeWindow_.ScrollBy(dt, EarliestTime(), latest);
        update();
        break;
    }
    case Drag::None:
        UpdateCursor(pos);
        break;
    }
}

void StripChart::mouseReleaseEvent(QMouseEvent* event) {
    drag_ = Drag::None;
    UpdateCursor(event->position().toPoint());
}

void StripChart::mouseDoubleClickEvent(QMouseEvent* event) {
    // Double-clicking an axis undoes its zoom; the plot returns to "now".
    switch (DragAt(event->position().toPoint())) {
    case Drag::ZoomValue:
        valueWindow_.SetAutomatic();
        break;
    case Drag::ZoomTime:
        timeWindow_.Zoom(TimeWindow::DefaultSpan / timeWindow_.Span(), LatestTime(),
                         TimeWindow::DefaultSpan);
        break;
    case Drag::Scroll:
        timeWindow_.Resume();
        break;
    case Drag::None:
        return;
    }
    update();
}

void StripChart::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0.0) {
        event->ignore();
        return;
    }
    const double factor = std::pow(WheelStepFactor, steps);
    const QPoint pos = event->position().toPoint();
    const QRect plot = PlotRect();
    if (DragAt(pos) == Drag::ZoomValue || (event->modifiers() & Qt::ControlModifier)) {
        const ValueRange current = paintedValues_;
        const double share =
            plot.height() > 0 ? static_cast<double>(plot.bottom() - pos.y()) / plot.height() : 0.5;
        valueWindow_.Zoom(current, factor,
                          current.low + std::clamp(share, 0.0, 1.0) * (current.high - current.low));
    } else {
        const double latest = LatestTime();
        timeWindow_.Zoom(factor, latest,
                         std::max((latest - EarliestTime()) * 1.1, TimeWindow::DefaultSpan));
    }
    update();
    event->accept();
}

QString StripChart::ToolTipAt(const QPoint& pos) const {
    const QRect plot = PlotRect();
    if (!plot.contains(pos) || plot.width() <= 0) {
        return toolTip();
    }
    // Envelope columns are device pixels.
    const double x = (pos.x() - plot.left() + 0.5) / plot.width();
    const auto column = static_cast<std::size_t>(std::floor(x * paintedColumns_));
    const double t = paintedRange_.start + x * (paintedRange_.end - paintedRange_.start);
    QStringList lines{QString::fromStdString(TimeLabel(t))};
    for (const Trace& trace : traces_) {
        if (column >= trace.envelope.size() || !trace.envelope[column].filled) {
            continue;
        }
        const EnvelopeColumn& values = trace.envelope[column];
        const QString text =
            values.min == values.max
                ? NumberText(values.min)
                : QStringLiteral("%1 to %2").arg(NumberText(values.min), NumberText(values.max));
        lines << QStringLiteral("%1: %2").arg(trace.name, text.trimmed());
    }
    return lines.size() > 1 ? lines.join(QLatin1Char('\n')) : toolTip();
}

bool StripChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = ToolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QWidget::event(event);
}

// Menu and export ----------------------------------------------------------------

QMenu* StripChart::CreateContextMenu() {
    auto* menu = new QMenu(this);
    menu->addAction(QStringLiteral("Export image…"), this, &StripChart::ExportImageFromMenu);
    menu->addAction(QStringLiteral("Export data…"), this, &StripChart::ExportDataFromMenu);
    menu->addSeparator();
    if (timeWindow_.Following()) {
        menu->addAction(QStringLiteral("Pause scrolling"), this, &StripChart::PauseScrolling);
    } else {
        menu->addAction(QStringLiteral("Resume"), this, &StripChart::ResumeScrolling);
    }
    QAction* automatic = menu->addAction(QStringLiteral("Fit values to view"), this, [this] {
        valueWindow_.SetAutomatic();
        update();
    });
    automatic->setEnabled(!valueWindow_.Automatic());
    return menu;
}

void StripChart::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

bool StripChart::ExportImage(const QString& path) {
    return grab().save(path, "PNG");
}

bool StripChart::ExportData(const QString& path) {
    std::vector<ExportTrace> traces;
    for (const Trace& trace : traces_) {
        if (trace.visible) {
            traces.push_back({&trace.history, trace.name.toStdString()});
        }
    }
    std::ofstream file(path.toStdString(), std::ios::binary | std::ios::trunc);
    if (!file) {
        return false;
    }
    const NumberFormat format = numberFormat_ ? numberFormat_ : [](double v) {
        return QString::number(v, 'g', 7).toStdString();
    };
    return WriteChartCsv(file, traces, VisibleTimeRange(), format);
}

void StripChart::ExportImageFromMenu() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export image"), {},
                                                      QStringLiteral("PNG image (*.png)"));
    if (!path.isEmpty() && !ExportImage(path)) {
        QMessageBox::warning(this, window()->windowTitle(),
                             QStringLiteral("The image could not be written to %1.").arg(path));
    }
}

void StripChart::ExportDataFromMenu() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export data"), {},
                                                      QStringLiteral("Data Files (*.csv)"));
    if (!path.isEmpty() && !ExportData(path)) {
        QMessageBox::warning(this, window()->windowTitle(),
                             QStringLiteral("The data could not be written to %1.").arg(path));
    }
}

} // namespace qmt::widgets
