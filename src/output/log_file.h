#pragma once

#include <string>
#include <string_view>

// Appending to the log file. The file is opened for each append and closed
// again, so a run survives the file being moved, deleted or its folder
// coming back, and no handle stays open between lines.
namespace qmt::output {

struct WriteOutcome {
    bool ok = true;
    std::string error; // the system's reason when not ok
};

// Appends the bytes with a single write, creating the file if it is missing.
// A write that gets only part of the bytes out (a full disk) is taken back,
// so the file never ends in half a line.
WriteOutcome AppendToFile(const std::string& path, std::string_view bytes);

// Makes what was appended so far durable: the file's data and its entry in
// its folder reach the disk.
WriteOutcome FlushFile(const std::string& path);

} // namespace qmt::output
