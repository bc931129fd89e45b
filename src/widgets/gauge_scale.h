#pragma once

#include <QFontMetricsF>
#include <QString>
#include <array>
#include <initializer_list>

// How a gauge fits its scale and its pointer readout to what it shows, as
// plain functions so that the choices are tested without painting.
namespace qmt::widgets {

// The spans a scale may take above its lower end, smallest first: 256 holds
// every temperature the chip measures.
inline constexpr std::array<double, 4> GaugeSpans{64.0, 128.0, 192.0, 256.0};
// Room kept above the highest value, as a part of the span, so that a
// pointer near the top can still be taken and moved up.
inline constexpr double GaugeTopMargin = 0.08;

// The top of the scale: the smallest of lower + each span that holds every
// value below its top margin, never above the limit (the most the gauge may
// show), which is taken when nothing smaller holds them.
double GaugeUpperEnd(double lower, double limit, std::initializer_list<double> values);

// A pointer's value as the readout prints it: whole degrees without a
// fraction, quarter degrees as "20.25", "20.5".
QString PointerValueText(double value);

// "L 20  H 40  T 45": the three pointers, low, high and THERM.
QString PointerReadoutLine(double low, double high, double therm);

// Lines the readout takes in the width: one when the longest line it can
// print fits, else one a pointer. Not the values shown now, so that the
// gauges of a window agree and moving a pointer never moves the scale.
int PointerReadoutLines(const QFontMetricsF& metrics, double width);

} // namespace qmt::widgets
