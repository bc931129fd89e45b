#pragma once

#include <QStaticText>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class QFontMetrics;

namespace qmt::widgets {

// A label's text, laid out once, and its width.
struct AxisLabel {
    QStaticText text;
    int width = 0;
};

// The labels of one axis at one tick step: a scrolling chart keeps showing
// most of its ticks, and those reuse their text and width instead of being
// formatted, measured and shaped again at every paint.
class AxisLabels {
public:
    using Format = std::function<QString(double value)>;

    // The label of the tick at `value`, a whole number of steps from 0; the
    // reference lasts until the next call.
    const AxisLabel& At(double value, double step, const QFontMetrics& metrics,
                        const Format& format);
    // Drops every label (the font or the text format changed).
    void Clear() { labels_.clear(); }

private:
    // A few scales' worth; scrolling for long drops them all at once.
    static constexpr std::size_t MaxLabels = 64;
    double step_ = 0.0;
    std::vector<std::pair<std::int64_t, AxisLabel>> labels_;
};

} // namespace qmt::widgets
