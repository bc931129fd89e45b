#pragma once

#include "widgets/chart_window.h"

#include <cstddef>
#include <vector>

namespace qmt::widgets {

// What one pixel column of a lane shows.
struct LaneColumn {
    bool known = false;  // the lane was read within the column
    bool on = false;     // the bit was 1 at some moment of the column
    bool change = false; // the bit changed within the column
};

// The whole history of one on/off signal, kept as its changes only, so a
// days-long run costs memory by its events, not by its reads. A reader folds
// any stretch of time into pixel columns with one binary search per column,
// so a repaint costs the same for an hour as for a week.
class LaneHistory {
public:
    // A reading of the signal at time t (never earlier than the last one).
    void Record(double t, bool on);

    bool Started() const { return started_; }
    double FirstTime() const { return first_; }
    double LastTime() const { return last_; }
    // The changes: times, and the state each one leads to.
    const std::vector<double>& ChangeTimes() const { return times_; }
    bool StateAfter(std::size_t change) const { return states_[change]; }
    // The state at time t (the first state before the first reading).
    bool StateAt(double t) const;

    // Folds [t0, t1) into `columns` equal columns; `out` is reused.
    void Columns(double t0, double t1, int columns, std::vector<LaneColumn>& out) const;
    // Folds the columns of a grid from column `from` to `to` (not included).
    void Columns(const ColumnTimes& times, int from, int to, std::vector<LaneColumn>& out) const;
    // The index of the first change at or after t (ChangeTimes().size() when none).
    std::size_t FirstChangeFrom(double t) const;

private:
    bool started_ = false;
    bool initial_ = false;
    bool current_ = false;
    double first_ = 0.0;
    double last_ = 0.0;
    std::vector<double> times_;
    std::vector<bool> states_;
};

} // namespace qmt::widgets
