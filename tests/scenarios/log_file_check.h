#pragma once

#include <QString>
#include <string>
#include <vector>

namespace qmt::scenario {

// What a log file written during a scenario holds, line by line.
struct LogContents {
    // The file ends with a line end: no line was cut short.
    bool endsWhole = false;
    // Runs started (title lines).
    int runs = 0;
    // The time column of every data line, in file order.
    std::vector<double> times;
    // Lines that are neither part of a run's head nor a data line with the
    // expected readings: a torn, mixed or made-up line.
    std::vector<std::string> strayLines;
};

// Reads a log whose data lines must all end in `readings` (the columns after
// the time, as the board's constant temperatures give them). A missing file
// reads as empty.
LogContents ReadLogFile(const QString& path, const std::string& readings);

// The number of steps of `intervalSeconds` missing between consecutive
// times; -1 if a time does not follow its predecessor at a whole step.
int MissingSteps(const std::vector<double>& times, double intervalSeconds);

} // namespace qmt::scenario
