#include "output/log_file_load.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace qmt::output {

LogFileLoad::LogFileLoad(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        Fail(std::strerror(EISDIR));
        return;
    }
    file_.open(path, std::ios::binary);
    if (!file_) {
        Fail(std::strerror(errno));
        return;
    }
    const auto size = std::filesystem::file_size(path, ec);
    totalBytes_ = ec ? 0 : size;
}

bool LogFileLoad::Step(std::size_t maxBytes) {
    if (done_) {
        return false;
    }
    buffer_.resize(std::max<std::size_t>(maxBytes, 1));
    file_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    const auto got = static_cast<std::size_t>(file_.gcount());
    reader_.Feed({buffer_.data(), got});
    bytesRead_ += got;
    if (file_.bad()) {
        Fail(std::strerror(errno != 0 ? errno : EIO));
        return false;
    }
    if (file_.eof()) {
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
