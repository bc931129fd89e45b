#pragma once

namespace qmt::widgets {

struct TimeRange {
    double start = 0.0;
    double end = 0.0;
};

// How a plot's pixel columns divide time: column c shows [Start(c),
// Start(c + 1)). Counted from a fixed origin, a column keeps its times when
// the plot scrolls by whole columns, so what was drawn for it stays right.
struct ColumnTimes {
    double origin = 0.0;
    double seconds = 1.0; // of a column
    long long first = 0;  // the number of column 0 counted from the origin

    double Start(long long column) const {
        return origin + static_cast<double>(first + column) * seconds;
    }
    // The column that time t falls in (not limited to the plot).
    long long ColumnOf(double t) const;
};

// The stretch of time the chart shows. While it follows, the range ends at
// the newest sample and moves on with every new one; once the user pauses or
// scrolls back it stays where it was put while samples keep arriving, until
// it is scrolled forward to the newest sample again or told to resume.
class TimeWindow {
public:
    static constexpr double MinSpan = 1.0;      // seconds
    static constexpr double DefaultSpan = 60.0; // seconds

    double Span() const { return span_; }
    bool Following() const { return following_; }
    TimeRange Range(double latest) const;

    void Pause(double latest);
    void Resume() { following_ = true; }
    // Moves the range by dt seconds, not before `earliest`; reaching `latest`
    // follows again.
    void ScrollBy(double dt, double earliest, double latest);
    // Multiplies the span by factor, within MinSpan and maxSpan; the end of
    // the range stays where it is.
    void Zoom(double factor, double latest, double maxSpan);

private:
    double span_ = DefaultSpan;
    double end_ = 0.0;
    bool following_ = true;
};

struct ValueRange {
    double low = 0.0;
    double high = 0.0;
};

// The value range of the chart: fitted to what is visible, or held where the
// user zoomed it.
class ValueWindow {
public:
    static constexpr double MinSpan = 1e-3;

    bool Automatic() const { return automatic_; }
    void SetAutomatic() { automatic_ = true; }
    // The range shown for data spanning [dataLow, dataHigh] (ignored while
    // held); an automatic range is padded and at least one unit tall.
    ValueRange Range(double dataLow, double dataHigh, bool hasData) const;
    // Holds `current` scaled by factor around `anchor`.
    void Zoom(const ValueRange& current, double factor, double anchor);

private:
    bool automatic_ = true;
    ValueRange held_{};
};

} // namespace qmt::widgets
