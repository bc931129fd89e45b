#pragma once

#include <QFontMetricsF>
#include <QRectF>
#include <array>

// Where the parts of a vertical gauge go for a given widget size and font:
// scale labels, ticks, the tube of the value bar, one lane per pointer and the
// caption's readout below. Pure geometry, so the mapping between degrees and
// pixels is tested without painting.
namespace qmt::widgets {

inline constexpr int GaugePointerCount = 3;

class GaugeGeometry {
public:
    GaugeGeometry() = default;
    // The pointer readout under the scale takes readoutLines lines of text.
    GaugeGeometry(const QRectF& bounds, const QFontMetricsF& metrics, double lower, double upper,
                  int readoutLines = 1);

    // Vertical position of a temperature; values outside the scale sit at its ends.
    double YOf(double value) const;
    // The temperature at a vertical position, held within the scale.
    double ValueAt(double y) const;

    // The distance between labelled ticks, in degrees, so labels never crowd.
    double LabelStep() const { return labelStep_; }

    QRectF face() const { return face_; }
    QRectF tube() const { return tube_; }
    QRectF caption() const { return caption_; }
    QRectF readout() const { return readout_; }
    QRectF labels() const { return labels_; }
    double tickRight() const { return tickRight_; }
    double majorTick() const { return majorTick_; }
    double scaleTop() const { return scaleTop_; }
    double scaleBottom() const { return scaleBottom_; }
    // The flag of a pointer standing at the value: its tip points at the tube.
    QRectF PointerFlag(int pointer, double value) const;
    // Everything drawn for a pointer at the value: its flag, its mark across
    // the tube and the value box shown while it moves.
    QRectF PointerBand(int pointer, double value) const;
    double flagHeight() const { return flagHeight_; }
    double tipLength() const { return tipLength_; }

private:
    double lower_ = 0.0;
    double upper_ = 1.0;
    QRectF face_;
    QRectF labels_;
    QRectF tube_;
    QRectF caption_;
    QRectF readout_;
    std::array<double, GaugePointerCount> laneLeft_{};
    double laneWidth_ = 0.0;
    double tickRight_ = 0.0;
    double majorTick_ = 0.0;
    double scaleTop_ = 0.0;
    double scaleBottom_ = 1.0;
    double flagHeight_ = 0.0;
    double tipLength_ = 0.0;
    double labelStep_ = 1.0;
};

} // namespace qmt::widgets
