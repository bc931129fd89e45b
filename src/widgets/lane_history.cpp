#include "widgets/lane_history.h"

#include <algorithm>

namespace qmt::widgets {

void LaneHistory::Record(double t, bool on) {
    if (!started_) {
        started_ = true;
        initial_ = current_ = on;
        first_ = last_ = t;
        return;
    }
    t = std::max(t, last_);
    last_ = t;
    if (on != current_) {
        current_ = on;
        times_.push_back(t);
        states_.push_back(on);
    }
}

std::size_t LaneHistory::FirstChangeFrom(double t) const {
    return static_cast<std::size_t>(std::lower_bound(times_.begin(), times_.end(), t) -
                                    times_.begin());
}

bool LaneHistory::StateAt(double t) const {
    const auto after = static_cast<std::size_t>(std::upper_bound(times_.begin(), times_.end(), t) -
                                                times_.begin());
    return after == 0 ? initial_ : states_[after - 1];
}

void LaneHistory::Columns(double t0, double t1, int columns, std::vector<LaneColumn>& out) const {
    out.assign(static_cast<std::size_t>(std::max(columns, 0)), LaneColumn{});
    if (!started_ || columns <= 0 || t1 <= t0) {
        return;
    }
    const double width = (t1 - t0) / columns;
    std::size_t next = FirstChangeFrom(t0);
    bool state = next == 0 ? initial_ : states_[next - 1];
    for (int c = 0; c < columns; ++c) {
        const double start = t0 + c * width;
        const double end = start + width;
        // Changes alternate, so two or more in a
        // column mean the bit was 1 in it whatever the state it began with.
        // Most columns hold no change: those need no search.
        const bool none = next == times_.size() || times_[next] >= end;
        const auto stop =
            none ? next
                 : static_cast<std::size_t>(
                       std::lower_bound(times_.begin() + static_cast<std::ptrdiff_t>(next),
                                        times_.end(), end) -
                       times_.begin());
        LaneColumn& column = out[static_cast<std::size_t>(c)];
        column.known = end > first_ && start <= last_;
        if (stop > next) {
            column.change = true;
            column.on = state || stop - next >= 2 || states_[next];
            state = states_[stop - 1];
            next = stop;
        } else {
            column.on = state;
        }
        column.on = column.on && column.known;
    }
}

} // namespace qmt::widgets
