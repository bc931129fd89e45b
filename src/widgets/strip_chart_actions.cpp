// What the user does with the strip chart: zooming and scrolling with the
// mouse, the tool tip, the right-click menu and its exports.
#include "widgets/chart_export.h"
#include "widgets/strip_chart.h"

#include <QBuffer>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <sstream>

namespace qmt::widgets {

namespace {

// Pixels of drag that scale a range by e (about 2.7).
constexpr double DragPixelsPerE = 150.0;
constexpr double WheelStepFactor = 0.8;

} // namespace

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
    if (ResumeRect().contains(pos)) {
        setCursor(Qt::PointingHandCursor);
        return;
    }
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
    if (ResumeRect().contains(event->position().toPoint())) {
        ResumeScrolling();
        UpdateCursor(event->position().toPoint());
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
    const double maxSpan = MaxSpan();
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
        timeWindow_.Zoom(factor, latest, MaxSpan());
    }
    update();
    event->accept();
}

double StripChart::MaxSpan() const {
    // The whole history with a little room, or the default span if shorter.
    return std::max((LatestTime() - EarliestTime()) * 1.1, TimeWindow::DefaultSpan);
}

void StripChart::keyPressEvent(QKeyEvent* event) {
    // The keyboard's way to the mouse's scrolling and zooming.
    const double latest = LatestTime();
    const double step = timeWindow_.Span() / 10.0;
    switch (event->key()) {
    case Qt::Key_Left:
        timeWindow_.ScrollBy(-step, EarliestTime(), latest);
        break;
    case Qt::Key_Right:
        timeWindow_.ScrollBy(step, EarliestTime(), latest);
        break;
    case Qt::Key_Home:
        timeWindow_.ScrollBy(EarliestTime() + timeWindow_.Span() - VisibleTimeRange().end,
                             EarliestTime(), latest);
        break;
    case Qt::Key_End:
        timeWindow_.Resume();
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        timeWindow_.Zoom(WheelStepFactor, latest, MaxSpan());
        break;
    case Qt::Key_Minus:
        timeWindow_.Zoom(1.0 / WheelStepFactor, latest, MaxSpan());
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    update();
}

QString StripChart::ToolTipAt(const QPoint& pos) const {
    if (const QString text = PausedMarksToolTip(pos); !text.isEmpty()) {
        return text;
    }
    if (const QString text = DecorationToolTip(pos); !text.isEmpty()) {
        return text;
    }
    const QRect plot = PlotRect();
    if (!plot.contains(pos) || plot.width() <= 0) {
        return toolTip();
    }
    // Envelope columns are device pixels.
    const double x = (pos.x() - plot.left() + 0.5) / plot.width();
    const auto column = static_cast<std::size_t>(std::floor(x * paintedColumns_));
    const double t = paintedRange_.start + x * (paintedRange_.end - paintedRange_.start);
    QStringList lines{QString::fromStdString(timeFormat_ ? timeFormat_(t) : TimeLabel(t))};
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
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        ForgetTextMeasures();
    }
    return QWidget::event(event);
}

// Menu and export.

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
    // Items added by the chart's owner, then those of its decorations.
    if (!actions().isEmpty() || !decorations_.empty()) {
        menu->addSeparator();
    }
    menu->addActions(actions());
    for (ChartDecoration* decoration : decorations_) {
        decoration->AddMenuActions(*menu, *this);
    }
    return menu;
}

void StripChart::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

namespace {

std::string PathText(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

fsio::Outcome StripChart::ExportImage(const QString& path) {
    QByteArray image;
    QBuffer buffer(&image);
    if (!buffer.open(QIODevice::WriteOnly) || !grab().save(&buffer, "PNG")) {
        return {false, "the image could not be made"};
    }
    return fsio::ReplaceFile(
        PathText(path),
        std::string_view(image.constData(), static_cast<std::size_t>(image.size())));
}

fsio::Outcome StripChart::ExportData(const QString& path) {
    std::vector<ExportTrace> traces;
    for (const Trace& trace : traces_) {
        if (trace.visible) {
            traces.push_back({&trace.history, trace.name.toStdString()});
        }
    }
    const NumberFormat format = numberFormat_ ? numberFormat_ : [](double v) {
        return QString::number(v, 'g', 7).toStdString();
    };
    std::ostringstream text;
    WriteChartCsv(text, traces, VisibleTimeRange(), format);
    return fsio::ReplaceFile(PathText(path), text.str());
}

void StripChart::ExportImageFromMenu() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export image"), {},
                                                      QStringLiteral("PNG image (*.png)"));
    if (path.isEmpty()) {
        return;
    }
    if (const fsio::Outcome outcome = ExportImage(path); !outcome) {
        QMessageBox::warning(this, window()->windowTitle(),
                             QStringLiteral("The image could not be written to %1.\n%2")
                                 .arg(path, QString::fromStdString(outcome.error)));
    }
}

void StripChart::ExportDataFromMenu() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export data"), {},
                                                      QStringLiteral("Data Files (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    if (const fsio::Outcome outcome = ExportData(path); !outcome) {
        QMessageBox::warning(this, window()->windowTitle(),
                             QStringLiteral("The data could not be written to %1.\n%2")
                                 .arg(path, QString::fromStdString(outcome.error)));
    }
}

} // namespace qmt::widgets
