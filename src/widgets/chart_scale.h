#pragma once

#include <string>

// Time and value scales of the strip chart: plain arithmetic, no painting.
namespace qmt::widgets {

inline constexpr double SecondsPerDay = 86400.0;

// Turns time-of-day readings (seconds since midnight, falling back near 0 at
// midnight) into a time that never decreases: seconds since the midnight
// before the first reading. A fall of more than half a day is a new day; a
// smaller one (the clock set back) holds the time at its last value.
class DayClock {
public:
    double Unwrap(double secondsSinceMidnight);

private:
    bool started_ = false;
    double dayBase_ = 0.0;
    double last_ = 0.0;
};

// The time label "HH MM SS" of a chart time (the time of day, whatever day).
std::string TimeLabel(double chartTime);
// The time label of a time counted from a start (a replayed run): "HH MM SS"
// for the first day, then with the days before it: "2d 03 00 00".
std::string ElapsedLabel(double seconds);
// "hh:mm:ss.zzz" of a chart time, for exported data.
std::string TimeStampText(double chartTime);

// Seconds between time labels: the smallest of the usual clock steps (1 s to
// one day) that leaves at least minPixels between two labels.
double TimeTickStep(double span, double pixels, double minPixels);
// Distance between value labels: 1, 2 or 5 times a power of ten, leaving at
// least minPixels between two labels.
double ValueTickStep(double span, double pixels, double minPixels);

} // namespace qmt::widgets
