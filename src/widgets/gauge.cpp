#include "widgets/gauge.h"

#include "widgets/gauge_scale.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace qmt::widgets {

namespace {

constexpr std::array<QRgb, GaugePointerCount> PointerColours{0xff42a5f5, 0xffffa000, 0xffe53935};
constexpr std::array<char, GaugePointerCount> PointerLetters{'L', 'H', 'T'};
const QColor FaceColour(0x23, 0x27, 0x2b);
const QColor FaceEdge(0x5a, 0x60, 0x66);
const QColor ScaleColour(0xd8, 0xdc, 0xe0);
const QColor TubeColour(0x0e, 0x10, 0x12);
const QColor BarNormal(0x3c, 0xb3, 0x71);
const QColor ReadoutColour(0x0b, 0x0d, 0x0e);
const QColor ReadoutText(0x9e, 0xf0, 0x1a);
constexpr int MinorTicksPerLabel = 5;
constexpr double MinTickGap = 4.0;

std::size_t Slot(GaugePointer which) {
    return static_cast<std::size_t>(which);
}

QColor ColourOf(GaugePointer which) {
    return QColor::fromRgb(PointerColours[Slot(which)]);
}

// Pointers to step through with Left and Right, bottom to top of the lanes.
GaugePointer Neighbour(GaugePointer which, int step) {
    const int next = (static_cast<int>(which) + step + GaugePointerCount) % GaugePointerCount;
    return static_cast<GaugePointer>(next);
}

double RoundToStep(double value, double step) {
    return std::round(value / step) * step;
}

} // namespace

Gauge::Gauge(int index, QWidget* parent) : QWidget(parent), index_(index) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    Relayout();
}

void Gauge::SetScale(double lower, double limit) {
    if (lower == lower_ && limit == limit_) {
        return;
    }
    lower_ = lower;
    limit_ = limit;
    upper_ = limit;
    Relayout();
    Refit();
    update();
}

void Gauge::SetValue(double value) {
    if (value == value_) {
        return;
    }
    value_ = value;
    UpdateBar();
    Refit();
}

void Gauge::SetCaption(const QString& caption) {
    if (caption == caption_) {
        return;
    }
    caption_ = caption;
    update(geometry_.caption().toAlignedRect());
}

void Gauge::SetPointer(GaugePointer which, double value) {
    double& slot = PointerSlot(which);
    if (value == slot) {
        return;
    }
    const double shown = ShownPointer(which);
    slot = value;
    UpdatePointer(which, shown, ShownPointer(which));
    Refit();
}

double Gauge::pointer(GaugePointer which) const {
    return pointers_[Slot(which)];
}

void Gauge::SetPointerGrid(GaugePointer which, double step, Settle settle) {
    steps_[Slot(which)] = step;
    settle_[Slot(which)] = std::move(settle);
}

void Gauge::CommitPointer(GaugePointer which, double value) {
    const double shown = ShownPointer(which);
    if (move_ && move_->which == which) {
        move_.reset();
    }
    const double held = std::clamp(value, lower_, limit_);
    double& slot = PointerSlot(which);
    const bool changed = held != slot;
    slot = held;
    UpdatePointer(which, shown, held);
    Refit();
    if (changed) {
        emit pointerMoved(index_);
    }
}

void Gauge::SelectPointer(GaugePointer which) {
    if (which == selected_) {
        return;
    }
    if (move_ && !move_->dragging) {
        CancelPending();
    }
    const GaugePointer before = selected_;
    selected_ = which;
    UpdatePointer(before, ShownPointer(before), ShownPointer(before));
    UpdatePointer(which, ShownPointer(which), ShownPointer(which));
}

std::optional<double> Gauge::pendingValue() const {
    return move_ ? std::optional(move_->value) : std::nullopt;
}

QPoint Gauge::PointerHandle(GaugePointer which) const {
    return geometry_.PointerFlag(static_cast<int>(which), ShownPointer(which)).center().toPoint();
}

QSize Gauge::sizeHint() const {
    const int line = fontMetrics().height();
    return {line * 7, line * 16};
}

QSize Gauge::minimumSizeHint() const {
    const int line = fontMetrics().height();
    return {line * 5, line * 8};
}

double& Gauge::PointerSlot(GaugePointer which) {
    return pointers_[Slot(which)];
}

double Gauge::ShownPointer(GaugePointer which) const {
    return move_ && move_->which == which ? move_->value : pointer(which);
}

std::optional<GaugePointer> Gauge::PointerAt(const QPointF& pos) const {
    // The selected pointer is drawn on top, so it is taken first.
    std::array<GaugePointer, GaugePointerCount> order{selected_, Neighbour(selected_, 1),
                                                      Neighbour(selected_, 2)};
    for (const GaugePointer which : order) {
        const QRectF flag = geometry_.PointerFlag(static_cast<int>(which), ShownPointer(which));
        if (flag.adjusted(0, -2, 0, 2).contains(pos)) {
            return which;
        }
    }
    return std::nullopt;
}

void Gauge::MovePending(double value) {
    const double from = ShownPointer(move_->which);
    const double held = std::clamp(value, lower_, limit_);
    const Settle& settle = settle_[Slot(move_->which)];
    move_->value = settle ? std::clamp(settle(held), lower_, limit_) : held;
    UpdatePointer(move_->which, from, move_->value);
    Refit();
}

// One step from the step's grid, so a value between steps goes onto it.
void Gauge::StepPending(int direction, double step) {
    if (!move_ || move_->which != selected_) {
        CancelPending();
        move_ = Move{selected_, pointer(selected_), false, 0.0};
    }
    const double grid = steps_[Slot(selected_)];
    MovePending(RoundToStep(move_->value, grid) + direction * step);
}

void Gauge::CommitPending() {
    if (move_) {
        CommitPointer(move_->which, move_->value);
    }
}

void Gauge::CancelPending() {
    if (!move_) {
        return;
    }
    const Move cancelled = *move_;
    move_.reset();
    UpdatePointer(cancelled.which, cancelled.value, pointer(cancelled.which));
    Refit();
}

void Gauge::Relayout() {
    geometry_ = GaugeGeometry(QRectF(rect()), QFontMetricsF(font()), lower_, upper_, readoutLines_);
    static_ = QPixmap();
}

void Gauge::Refit() {
    const double low = ShownPointer(GaugePointer::Low);
    const double high = ShownPointer(GaugePointer::High);
    const double therm = ShownPointer(GaugePointer::Therm);
    const double upper = GaugeUpperEnd(lower_, limit_, {value_, low, high, therm});
    if (upper != upper_) {
        upper_ = upper;
        Relayout();
        update();
    }
}

// The readout's lines depend on the width and the font only, so they are not
// measured again for every reading.
void Gauge::FitReadout() {
    const int lines = PointerReadoutLines(QFontMetricsF(font()), geometry_.readout().width());
    if (lines != readoutLines_) {
        readoutLines_ = lines;
        Relayout();
    }
}

void Gauge::UpdatePointer(GaugePointer which, double from, double to) {
    const int i = static_cast<int>(which);
    update(geometry_.PointerBand(i, from).toAlignedRect());
    update(geometry_.PointerBand(i, to).toAlignedRect());
    update(geometry_.readout().toAlignedRect());
    // The bar's colour depends on where the pointers stand.
    UpdateBar();
}

void Gauge::UpdateBar() {
    update(geometry_.tube().adjusted(-1, -1, 1, 1).toAlignedRect());
}

void Gauge::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
    FitReadout();
    Refit();
}

void Gauge::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        Relayout();
        FitReadout();
        Refit();
        update();
    }
}

void Gauge::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const std::optional<GaugePointer> hit = PointerAt(event->position());
    if (!hit) {
        return;
    }
    CancelPending();
    SelectPointer(*hit);
    const double value = pointer(*hit);
    move_ = Move{*hit, value, true, event->position().y() - geometry_.YOf(value)};
    UpdatePointer(*hit, value, value);
}

void Gauge::mouseMoveEvent(QMouseEvent* event) {
    if (move_ && move_->dragging) {
        const double upper = upper_;
        MovePending(geometry_.ValueAt(event->position().y() - move_->grabOffset));
        if (upper_ != upper) {
            // Dragged to the top, the scale grew under the pointer: the mouse
            // takes it from where it is drawn now.
            move_->grabOffset = event->position().y() - geometry_.YOf(move_->value);
        }
    }
}

void Gauge::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && move_ && move_->dragging) {
        MovePending(geometry_.ValueAt(event->position().y() - move_->grabOffset));
        CommitPending();
    }
}

void Gauge::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        StepPending(1, steps_[Slot(selected_)]);
        break;
    case Qt::Key_Down:
        StepPending(-1, steps_[Slot(selected_)]);
        break;
    case Qt::Key_PageUp:
        StepPending(1, PageStep);
        break;
    case Qt::Key_PageDown:
        StepPending(-1, PageStep);
        break;
    case Qt::Key_Left:
        SelectPointer(Neighbour(selected_, -1));
        break;
    case Qt::Key_Right:
        SelectPointer(Neighbour(selected_, 1));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!move_) {
            QWidget::keyPressEvent(event);
            return;
        }
        CommitPending();
        break;
    case Qt::Key_Escape:
        if (!move_) {
            QWidget::keyPressEvent(event);
            return;
        }
        CancelPending();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void Gauge::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    UpdatePointer(selected_, ShownPointer(selected_), ShownPointer(selected_));
}

void Gauge::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    // A move that was never committed is taken back rather than left hanging.
    CancelPending();
    UpdatePointer(selected_, ShownPointer(selected_), ShownPointer(selected_));
}

void Gauge::paintEvent(QPaintEvent*) {
    if (static_.isNull() || static_.devicePixelRatio() != devicePixelRatioF()) {
        PaintStatic();
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, static_);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintBar(painter);
    PaintReadout(painter);
    PaintCaption(painter);
    // Every guide under every flag, so that no guide crosses a flag's letter.
    const std::array<GaugePointer, GaugePointerCount> order{Neighbour(selected_, 1),
                                                            Neighbour(selected_, 2), selected_};
    for (const GaugePointer which : order) {
        PaintGuide(painter, which);
    }
    for (const GaugePointer which : order) {
        PaintPointer(painter, which);
    }
}

void Gauge::PaintStatic() {
    const qreal ratio = devicePixelRatioF();
    static_ = QPixmap((QSizeF(size()) * ratio).toSize());
    static_.setDevicePixelRatio(ratio);
    static_.fill(palette().color(QPalette::Window));
    QPainter painter(&static_);
    painter.setRenderHint(QPainter::Antialiasing);
    const GaugeGeometry& g = geometry_;

    const double radius = fontMetrics().height() * 0.4;
    painter.setPen(QPen(FaceEdge, 1.0));
    painter.setBrush(FaceColour);
    painter.drawRoundedRect(g.face(), radius, radius);

    // Ticks: long at each label, short in between when there is room.
    const double step = g.LabelStep();
    const double pixelsPerDegree =
        (g.scaleBottom() - g.scaleTop()) / std::max(1e-9, upper_ - lower_);
    const double minor = step / MinorTicksPerLabel;
    const bool minorTicks = minor * pixelsPerDegree >= MinTickGap;
    painter.setPen(QPen(ScaleColour, 1.0));
    painter.setFont(font());
    const double line = fontMetrics().height();
    const auto first = static_cast<long>(std::ceil(lower_ / minor - 1e-9));
    const auto last = static_cast<long>(std::floor(upper_ / minor + 1e-9));
    for (long i = first; i <= last; ++i) {
        const bool major = i % MinorTicksPerLabel == 0;
        if (!major && !minorTicks) {
            continue;
        }
        const double degrees = static_cast<double>(i) * minor;
        const double y = g.YOf(degrees);
        const double length = major ? g.majorTick() : g.majorTick() * 0.5;
        painter.drawLine(QPointF(g.tickRight() - length, y), QPointF(g.tickRight(), y));
        if (major) {
            const QRectF box(g.labels().left(), y - line / 2, g.labels().width(), line);
            painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(std::lround(degrees)));
        }
    }

    const double tubeRadius = g.tube().width() / 2;
    painter.setPen(QPen(FaceEdge, 1.0));
    painter.setBrush(TubeColour);
    painter.drawRoundedRect(g.tube(), tubeRadius, tubeRadius);
}

void Gauge::PaintBar(QPainter& painter) const {
    const GaugeGeometry& g = geometry_;
    // At a glance: blue below the low pointer, amber above high, red above THERM.
    QColor colour = BarNormal;
    if (value_ > pointer(GaugePointer::Therm)) {
        colour = ColourOf(GaugePointer::Therm);
    } else if (value_ > pointer(GaugePointer::High)) {
        colour = ColourOf(GaugePointer::High);
    } else if (value_ < pointer(GaugePointer::Low)) {
        colour = ColourOf(GaugePointer::Low);
    }
    const double top = g.YOf(value_);
    const QRectF tube = g.tube().adjusted(2, 2, -2, -2);
    const QRectF bar(tube.left(), std::min(top, tube.bottom()), tube.width(),
                     std::max(0.0, tube.bottom() - top));
    if (bar.height() > 0 && value_ > lower_) {
        const double radius = bar.width() / 2;
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawRoundedRect(bar, radius, std::min(radius, bar.height() / 2));
    }
    // Each pointer marks its limit across the tube.
    for (int i = 0; i < GaugePointerCount; ++i) {
        const auto which = static_cast<GaugePointer>(i);
        const double y = g.YOf(ShownPointer(which));
        painter.setPen(QPen(ColourOf(which), 2.0));
        painter.drawLine(QPointF(g.tube().left(), y), QPointF(g.tube().right(), y));
    }
}

void Gauge::PaintPointer(QPainter& painter, GaugePointer which) const {
    const GaugeGeometry& g = geometry_;
    const double value = ShownPointer(which);
    const QRectF flag = g.PointerFlag(static_cast<int>(which), value);
    const double y = flag.center().y();
    const double tip = g.tipLength();

    QPainterPath path;
    path.moveTo(flag.left(), y);
    path.lineTo(flag.left() + tip, flag.top());
    path.lineTo(flag.right(), flag.top());
    path.lineTo(flag.right(), flag.bottom());
    path.lineTo(flag.left() + tip, flag.bottom());
    path.closeSubpath();
    const bool selected = which == selected_ && hasFocus();
    painter.setPen(selected ? QPen(Qt::white, 1.5) : QPen(ColourOf(which).darker(150), 1.0));
    painter.setBrush(ColourOf(which));
    painter.drawPath(path);
    QFont letterFont = font();
    letterFont.setBold(true);
    letterFont.setPixelSize(std::max(6, static_cast<int>(flag.height() * 0.7)));
    painter.setFont(letterFont);
    painter.setPen(Qt::black);
    painter.drawText(flag.adjusted(tip * 0.6, 0, 0, 0), Qt::AlignCenter,
                     QString(QChar::fromLatin1(PointerLetters[Slot(which)])));

    if (move_ && move_->which == which) {
        // The value a moving pointer would set, over the scale labels.
        painter.setFont(font());
        const QString text = QString::number(value, 'f', 2);
        const double width = fontMetrics().horizontalAdvance(text) + flag.height() * 0.6;
        const QRectF box(std::max(g.face().left() + 1, g.tube().left() - width - 2), flag.top(),
                         width, flag.height());
        painter.setPen(QPen(ColourOf(which), 1.0));
        painter.setBrush(FaceColour.darker(130));
        painter.drawRoundedRect(box, 3, 3);
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

// A guide from the tube to the flag's tip.
void Gauge::PaintGuide(QPainter& painter, GaugePointer which) const {
    const QRectF flag = geometry_.PointerFlag(static_cast<int>(which), ShownPointer(which));
    const double y = flag.center().y();
    painter.setPen(QPen(ColourOf(which), 1.0, Qt::DotLine));
    painter.drawLine(QPointF(geometry_.tube().right(), y), QPointF(flag.left(), y));
}

// Each pointer's value in its colour: on one line, or one a line where the
// gauge is too narrow for that.
void Gauge::PaintReadout(QPainter& painter) const {
    const QRectF box = geometry_.readout();
    const QFontMetricsF metrics(font());
    painter.setFont(font());
    std::array<QString, GaugePointerCount> parts;
    double width = 0.0;
    for (int i = 0; i < GaugePointerCount; ++i) {
        const auto which = static_cast<GaugePointer>(i);
        parts[Slot(which)] = QStringLiteral("%1 %2").arg(
            QChar::fromLatin1(PointerLetters[Slot(which)]), PointerValueText(ShownPointer(which)));
        width += metrics.horizontalAdvance(parts[Slot(which)]);
    }
    const double gap = metrics.horizontalAdvance(QStringLiteral("  "));
    double x = box.center().x() - (width + gap * (GaugePointerCount - 1)) / 2;
    for (int i = 0; i < GaugePointerCount; ++i) {
        const auto which = static_cast<GaugePointer>(i);
        const QString& text = parts[Slot(which)];
        painter.setPen(ColourOf(which));
        if (readoutLines_ == 1) {
            painter.drawText(QRectF(x, box.top(), box.right() - x, box.height()),
                             Qt::AlignLeft | Qt::AlignVCenter, text);
            x += metrics.horizontalAdvance(text) + gap;
        } else {
            const double line = box.height() / GaugePointerCount;
            painter.drawText(QRectF(box.left(), box.top() + i * line, box.width(), line),
                             Qt::AlignCenter, text);
        }
    }
}

void Gauge::PaintCaption(QPainter& painter) const {
    const QRectF box = geometry_.caption();
    painter.setPen(QPen(FaceEdge, 1.0));
    painter.setBrush(ReadoutColour);
    painter.drawRoundedRect(box, 3, 3);
    QFont readout = font();
    readout.setBold(true);
    readout.setStyleHint(QFont::Monospace);
    painter.setFont(readout);
    painter.setPen(ReadoutText);
    painter.drawText(box, Qt::AlignCenter, caption_);
}

} // namespace qmt::widgets
