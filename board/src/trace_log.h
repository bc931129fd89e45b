#pragma once

#include <string>
#include <string_view>

namespace tarnlink {

// Appends whole lines to a file, each with one write(2) on an O_APPEND
// descriptor, so a crash right after a call still leaves its line behind.
class TraceLog {
public:
    TraceLog() = default;
    ~TraceLog();
    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;

    // Empty path: tracing off. False if the file cannot be opened.
    bool Open(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }
    void WriteLine(std::string_view line) const;

private:
    void Close();

    int fd_ = -1;
};

} // namespace tarnlink
