#pragma once

#include "output/log_reader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qmt::python {

// A whole data log as the replay window reads it.
struct LogContents {
    std::vector<output::LogRun> runs;
    std::int64_t damaged = 0; // lines of the whole file that could not be read
};

// Reads the file through the replay window's reader; FileError when it
// cannot be opened or read.
LogContents LoadLogFile(const std::string& path);

} // namespace qmt::python
