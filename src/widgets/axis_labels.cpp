#include "widgets/axis_labels.h"

#include <QFontMetrics>
#include <cmath>

namespace qmt::widgets {

const AxisLabel& AxisLabels::At(double value, double step, const QFontMetrics& metrics,
                                const Format& format) {
    if (step != step_) {
        labels_.clear();
        step_ = step;
    }
    const std::int64_t index = std::llround(value / step);
    for (const auto& [tick, label] : labels_) {
        if (tick == index) {
            return label;
        }
    }
    if (labels_.size() >= MaxLabels) {
        labels_.clear();
    }
    const QString text = format(value);
    QStaticText laidOut(text);
    laidOut.setTextFormat(Qt::PlainText);
    labels_.emplace_back(index, AxisLabel{laidOut, metrics.horizontalAdvance(text)});
    return labels_.back().second;
}

} // namespace qmt::widgets
