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
    if (columns <= 0 || t1 <= t0) {
        out.clear();
        return;
    }
    Columns(ColumnTimes{t0, (t1 - t0) / columns, 0}, 0, columns, out);
}

void LaneHistory::Columns(const ColumnTimes& times, int from, int to,
                          std::vector<LaneColumn>& out) const {
    const int columns = std::max(to - from, 0);
    out.assign(static_cast<std::size_t>(columns), LaneColumn{});
    if (!started_ || columns == 0 || !(times.seconds > 0.0)) {
        return;
    }
    std::size_t next = FirstChangeFrom(times.Start(from));
    bool state = next == 0 ? initial_ : states_[next - 1];
    for (int c = 0; c < columns; ++c) {
        // Each boundary from the column's own number, so that every fold of
        // the grid puts a change in the same column.
        const double start = times.Start(from + c);
        const double end = times.Start(from + c + 1);
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
