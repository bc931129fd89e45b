#include "trace_log.h"

#include <fcntl.h>
#include <unistd.h>

namespace tarnlink {

TraceLog::~TraceLog() {
    Close();
}

bool TraceLog::Open(const std::string& path) {
    Close();
    if (path.empty()) {
        return true;
    }
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    return fd_ >= 0;
}

void TraceLog::WriteLine(std::string_view line) const {
    if (fd_ < 0) {
        return;
    }
    // A short write (full disk) loses the rest of the line; the trace is a
    // diagnostic aid and must never fail a request.
    while (!line.empty()) {
        const ssize_t written = ::write(fd_, line.data(), line.size());
        if (written <= 0) {
            return;
        }
        line.remove_prefix(static_cast<std::size_t>(written));
    }
}

void TraceLog::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace tarnlink
