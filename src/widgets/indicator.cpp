#include "widgets/indicator.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

namespace qmt::widgets {

Indicator::Indicator(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Indicator::SetState(State state) {
    if (state == state_) {
        return;
    }
    state_ = state;
    update();
}

QColor Indicator::colour() const {
    switch (state_) {
    case State::On:
        return {0xe5, 0x39, 0x35};
    case State::Off:
        return {0x2e, 0xb8, 0x4b};
    case State::Unknown:
        break;
    }
    return {0x9e, 0x9e, 0x9e};
}

QSize Indicator::sizeHint() const {
    const int side = fontMetrics().height();
    return {side, side};
}

QSize Indicator::minimumSizeHint() const {
    return sizeHint();
}

void Indicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height()) - 2.0;
    const QRectF lamp((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    // A highlight up and left makes it read as a lamp rather than a dot.
    QRadialGradient light(lamp.center() - QPointF(side * 0.2, side * 0.2), side * 0.7);
    light.setColorAt(0.0, colour().lighter(160));
    light.setColorAt(1.0, colour().darker(120));
    painter.setPen(QPen(colour().darker(200), 1.0));
    painter.setBrush(light);
    painter.drawEllipse(lamp);
}

} // namespace qmt::widgets
