#include "output/log_file_load.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qmt::output {

LogFileLoad::LogFileLoad(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        Fail(std::strerror(errno));
        return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        Fail(std::strerror(errno));
        return;
    }
    if (S_ISDIR(info.st_mode)) {
        Fail(std::strerror(EISDIR));
        return;
    }
    // Reads wait again, so a pipe being written is read to its end.
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        Fail(std::strerror(errno));
        return;
    }
    totalBytes_ = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
}

LogFileLoad::~LogFileLoad() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

long LogFileLoad::Fill() {
    std::size_t got = 0;
    while (got < buffer_.size()) {
        const ssize_t read = ::read(fd_, buffer_.data() + got, buffer_.size() - got);
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read < 0) {
            return -1;
        }
        if (read == 0) {
            break;
        }
        got += static_cast<std::size_t>(read);
    }
    return static_cast<long>(got);
}

bool LogFileLoad::Step(std::size_t maxBytes) {
    if (done_) {
        return false;
    }
    buffer_.resize(std::max<std::size_t>(maxBytes, 1));
    const long got = Fill();
    if (got < 0) {
        Fail(std::strerror(errno));
        return false;
    }
    const auto bytes = static_cast<std::size_t>(got);
    reader_.Feed({buffer_.data(), bytes});
    bytesRead_ += bytes;
    if (bytes < buffer_.size()) {
        reader_.Finish();
        done_ = true;
    }
    return !done_;
}

double LogFileLoad::Progress() const {
    if (done_ || totalBytes_ == 0) {
        return done_ ? 1.0 : 0.0;
    }
    return std::min(1.0, static_cast<double>(bytesRead_) / static_cast<double>(totalBytes_));
}

void LogFileLoad::Fail(const std::string& what) {
    error_ = what;
    done_ = true;
}

} // namespace qmt::output
