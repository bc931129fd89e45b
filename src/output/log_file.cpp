#include "output/log_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qmt::output {

namespace {

constexpr mode_t NewFileMode = 0666; // narrowed by the umask, as any program's files

WriteOutcome Failed(int errorNumber) {
    return {false, std::strerror(errorNumber)};
}

// Closes the descriptor; a failing close can mean data that never reached the file.
WriteOutcome Close(int fd, WriteOutcome outcome) {
    if (::close(fd) != 0 && outcome.ok) {
        return Failed(errno);
    }
    return outcome;
}

// Cuts off the part of a line a short write left at the end of the file.
WriteOutcome TakeBack(int fd, ssize_t written, std::size_t wanted) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || ::ftruncate(fd, info.st_size - written) != 0) {
        return {false, std::string("a partial line could not be removed: ") + std::strerror(errno)};
    }
    return {false, std::strerror(ENOSPC) + std::string(" (") + std::to_string(written) + " of " +
                       std::to_string(wanted) + " bytes)"};
}

std::string Folder(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

WriteOutcome Sync(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) {
        return Failed(errno);
    }
    WriteOutcome outcome;
    if (::fsync(fd) != 0) {
        outcome = Failed(errno);
    }
    return Close(fd, outcome);
}

} // namespace

WriteOutcome AppendToFile(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, NewFileMode);
    if (fd < 0) {
        return Failed(errno);
    }
    ssize_t written = -1;
    do {
        written = ::write(fd, bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    WriteOutcome outcome;
    if (written < 0) {
        outcome = Failed(errno);
    } else if (static_cast<std::size_t>(written) < bytes.size()) {
        outcome = TakeBack(fd, written, bytes.size());
    }
    return Close(fd, outcome);
}

WriteOutcome FlushFile(const std::string& path) {
    WriteOutcome outcome = Sync(path, O_RDONLY);
    if (outcome.ok) {
        outcome = Sync(Folder(path), O_RDONLY | O_DIRECTORY);
    }
    return outcome;
}

} // namespace qmt::output
