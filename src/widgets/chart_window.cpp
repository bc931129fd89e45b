#include "widgets/chart_window.h"

#include <algorithm>
#include <cmath>

namespace qmt::widgets {

long long ColumnTimes::ColumnOf(double t) const {
    return static_cast<long long>(std::floor((t - origin) / seconds)) - first;
}

TimeRange TimeWindow::Range(double latest) const {
    const double end = following_ ? latest : end_;
    return {end - span_, end};
}

void TimeWindow::Pause(double latest) {
    if (following_) {
        end_ = latest;
        following_ = false;
    }
}

void TimeWindow::ScrollBy(double dt, double earliest, double latest) {
    Pause(latest);
    end_ = std::max(end_ + dt, earliest);
    if (end_ >= latest) {
        Resume();
    }
}

void TimeWindow::Zoom(double factor, double latest, double maxSpan) {
    if (!(factor > 0.0)) {
        return;
    }
    const double upper = std::max(maxSpan, MinSpan);
    span_ = std::clamp(span_ * factor, MinSpan, upper);
    if (!following_) {
        end_ = std::min(end_, latest);
    }
}

ValueRange ValueWindow::Range(double dataLow, double dataHigh, bool hasData) const {
    if (!automatic_) {
        return held_;
    }
    if (!hasData) {
        return {0.0, 50.0};
    }
    const double pad = std::max((dataHigh - dataLow) * 0.05, 0.5);
    return {dataLow - pad, dataHigh + pad};
}

void ValueWindow::Zoom(const ValueRange& current, double factor, double anchor) {
    if (!(factor > 0.0)) {
        return;
    }
    const double span = std::max((current.high - current.low) * factor, MinSpan);
    const double share =
        current.high > current.low
            ? std::clamp((anchor - current.low) / (current.high - current.low), 0.0, 1.0)
            : 0.5;
    held_ = {anchor - share * span, anchor - share * span + span};
    automatic_ = false;
}

} // namespace qmt::widgets
