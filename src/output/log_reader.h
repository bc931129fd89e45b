#pragma once

#include "output/log_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Reading a data log back: what the writer writes, and what a spreadsheet
// writes when it saves the file again.
namespace qmt::output {

// One run of a log file: the lines below one column-head line.
struct LogRun {
    // Line number (from 1) of its title line, or of its column heads when a
    // spreadsheet dropped the title, or of its first line when it starts at a
    // time break.
    std::int64_t firstLine = 0;
    // The run starts at a data line whose time went back or jumped far ahead
    // of the run before it (not at column heads); its start is then that
    // line's time, else 0.
    bool startsAtTimeBreak = false;
    double start = 0.0;
    LogChannels channels{};
    // One entry per data line read: its time in seconds as the line gives it,
    // from `start` on.
    std::vector<double> times;
    // Per channel of the run, one value per data line; NaN where the line has
    // none (Remote1, while the shared registers showed Remote 2). Empty for
    // channels the run does not have.
    std::array<std::vector<float>, 3> values;
    // Lines inside the run that could not be read.
    std::int64_t damagedLines = 0;

    std::size_t Lines() const { return times.size(); }
    // From the start to the time of the last line: the nominal length of the run.
    double Duration() const { return times.empty() ? 0.0 : times.back() - start; }
};

// Splits bytes into lines and lines into runs. Bytes come in pieces of any
// size (a file read in chunks), so that a large file loads step by step.
//
// Accepted: CR LF, LF or CR line ends; the degree sign as the single byte
// 0xB0, as UTF-8 or in any other form; a UTF-8 byte order mark; fields in
// double quotes; numbers with or without the blank of the sign column and
// the 0 before the point; rows padded with empty fields; empty lines made of
// commas; columns in another order; fields separated by semicolons with a
// decimal comma, as spreadsheets set to such a language save them. A line that fits nowhere (a
// number that is not one, too few columns, data before any column heads, an unknown column head, a
// line longer than any log line) is damaged: it is skipped and counted, and reading goes on. A
// data line whose time goes back, or jumps ahead by more than FarIntervals of the run's interval
// (the step between its first two lines), starts a new run of the same columns, so that the lines
// on either side keep their own times.
class LogReader {
public:
    // Longer lines are damaged; no log line comes near it.
    static constexpr std::size_t MaxLineBytes = 4096;
    // Longer jumps of the time start a new run; a gap of failed writes stays in its run.
    static constexpr double FarIntervals = 100.0;

    void Feed(std::string_view bytes);
    // The end of the file: a last line without its line end still counts.
    void Finish();

    const std::vector<LogRun>& Runs() const { return runs_; }
    std::vector<LogRun> TakeRuns() { return std::move(runs_); }
    // Damaged lines before the first column heads, which belong to no run.
    std::int64_t DamagedOutsideRuns() const { return damagedOutside_; }
    // Damaged lines of the whole file.
    std::int64_t DamagedLines() const;
    // Lines seen so far, the last unfinished one not counted.
    std::int64_t LinesSeen() const { return lineNumber_; }

private:
    void Append(std::string_view piece);
    void EndLine(std::string_view line);
    void ReadLine(std::string_view line);
    bool ReadHead(const std::vector<std::string_view>& fields);
    bool ReadData(const std::vector<std::string_view>& fields);
    // Starts a new run at the line being read when its time breaks the run's.
    void CheckTimeBreak(double time);
    void Damaged();

    std::vector<LogRun> runs_;
    std::string partial_;
    bool partialTooLong_ = false;
    bool afterCr_ = false;      // an LF now ends nothing: it belongs to the CR
    bool inRun_ = false;        // data lines now belong to runs_.back()
    bool decimalComma_ = false; // of the line being read
    // The channel of each column after the time, as the heads name them.
    std::array<std::size_t, 3> columns_{};
    std::size_t columnCount_ = 0;
    std::int64_t lineNumber_ = 0;
    std::int64_t titleLine_ = 0; // of a title not yet followed by heads
    std::int64_t damagedOutside_ = 0;
    std::vector<std::string_view> fields_; // reused for every line
};

// Reads a whole text at once (tests and small files).
LogReader ReadLog(std::string_view text);

} // namespace qmt::output
