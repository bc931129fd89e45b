#include "python/log_contents.h"

#include "output/log_file_load.h"
#include "python/python_errors.h"

namespace qmt::python {

LogContents LoadLogFile(const std::string& path) {
    output::LogFileLoad load(path);
    if (!load.Ok()) {
        throw FileError(path + " could not be opened: " + load.Error());
    }
    while (load.Step()) {
    }
    if (!load.Ok()) {
        throw FileError(path + " could not be read: " + load.Error());
    }
    auto& reader = load.reader();
    LogContents contents;
    contents.damaged = reader.DamagedLines();
    contents.runs = reader.TakeRuns();
    return contents;
}

} // namespace qmt::python
