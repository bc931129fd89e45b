#include "widgets/gauge_geometry.h"

#include <algorithm>
#include <cmath>

namespace qmt::widgets {

namespace {

constexpr std::array<double, 9> LabelSteps{1, 2, 5, 10, 20, 25, 50, 100, 200};
// Labels at least this many text lines apart.
constexpr double LabelSpacingLines = 1.8;

double ChooseLabelStep(double span, double pixels, double lineHeight) {
    for (const double step : LabelSteps) {
        if (step / span * pixels >= LabelSpacingLines * lineHeight) {
            return step;
        }
    }
    return LabelSteps.back();
}

} // namespace

GaugeGeometry::GaugeGeometry(const QRectF& bounds, const QFontMetricsF& metrics, double lower,
                             double upper, int readoutLines)
    : lower_(lower), upper_(upper > lower ? upper : lower + 1.0) {
    const double line = metrics.height();
    const double pad = std::max(2.0, line * 0.3);
    face_ = bounds.adjusted(0.5, 0.5, -0.5, -0.5);
    const QRectF inner = face_.adjusted(pad, pad, -pad, -pad);

    caption_ = QRectF(inner.left(), inner.bottom() - line * 1.5, inner.width(), line * 1.5);
    readout_ = QRectF(inner.left(), caption_.top() - pad * 0.5 - readoutLines * line, inner.width(),
                      readoutLines * line);
    scaleTop_ = inner.top() + line * 0.6;
    scaleBottom_ = std::max(scaleTop_ + 1.0, readout_.top() - pad - line * 0.6);

    // Columns from the left: labels, ticks, tube, then one lane per pointer.
    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("-000"));
    // In a narrow gauge the ticks, tube and lanes give way; the labels do not.
    const double drawn = line * (0.45 + 0.7 + GaugePointerCount * 0.95);
    const double room = inner.width() - labelWidth - 3 * pad;
    const double shrink = std::clamp(room / drawn, 0.5, 1.0);
    majorTick_ = line * 0.45 * shrink;
    const double tubeWidth = line * 0.7 * shrink;
    laneWidth_ = line * 0.95 * shrink;
    tipLength_ = laneWidth_ * 0.45;
    flagHeight_ = line * 0.95;
    const double needed =
        labelWidth + majorTick_ + tubeWidth + GaugePointerCount * laneWidth_ + 3 * pad;
    // Spare width is shared out evenly so the gauge stays centred.
    const double spare = std::max(0.0, inner.width() - needed) / 2.0;
    const double left = inner.left() + spare;
    labels_ = QRectF(left, scaleTop_ - line, labelWidth, scaleBottom_ - scaleTop_ + 2 * line);
    tickRight_ = labels_.right() + pad + majorTick_;
    tube_ = QRectF(tickRight_ + pad * 0.5, scaleTop_ - tubeWidth * 0.5, tubeWidth,
                   scaleBottom_ - scaleTop_ + tubeWidth);
    for (int i = 0; i < GaugePointerCount; ++i) {
        laneLeft_[static_cast<std::size_t>(i)] = tube_.right() + pad + i * laneWidth_;
    }
    labelStep_ = ChooseLabelStep(upper_ - lower_, scaleBottom_ - scaleTop_, line);
}

double GaugeGeometry::YOf(double value) const {
    const double fraction = (std::clamp(value, lower_, upper_) - lower_) / (upper_ - lower_);
    return scaleBottom_ - fraction * (scaleBottom_ - scaleTop_);
}

double GaugeGeometry::ValueAt(double y) const {
    const double fraction = (scaleBottom_ - y) / (scaleBottom_ - scaleTop_);
    return std::clamp(lower_ + fraction * (upper_ - lower_), lower_, upper_);
}

QRectF GaugeGeometry::PointerFlag(int pointer, double value) const {
    const double left = laneLeft_.at(static_cast<std::size_t>(pointer));
    return QRectF(left, YOf(value) - flagHeight_ / 2.0, laneWidth_ - 1.0, flagHeight_);
}

QRectF GaugeGeometry::PointerBand(int pointer, double value) const {
    const QRectF flag = PointerFlag(pointer, value);
    // The value box is drawn over the labels, so the band spans the face.
    return QRectF(face_.left(), flag.top() - 2.0, face_.width(), flag.height() + 4.0);
}

} // namespace qmt::widgets
