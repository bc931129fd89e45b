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

// Appends the bytes with a single write, creating the file if it is missing;
// a file this call creates gets `headWhenNew` before the bytes, so a log
// moved or deleted mid-run starts again with its head. A write that gets
// only part of the bytes out (a full disk) is taken back, so the file never
// ends in half a line, and a file this call created is removed again when
// nothing could be written to it.
//
// The open never waits: a FIFO with no reader fails at once. A write to a
// pipe may wait for its reader; a signal (the stop signals install without
// SA_RESTART) ends that wait and the append fails.
WriteOutcome AppendToFile(const std::string& path, std::string_view bytes,
                          std::string_view headWhenNew = {});

// Makes what was appended so far durable: the file's data and its entry in
// its folder reach the disk. Only a regular file can be synced; for a pipe,
// FIFO or device there is nothing to do and that is no failure.
WriteOutcome FlushFile(const std::string& path);

} // namespace qmt::output
