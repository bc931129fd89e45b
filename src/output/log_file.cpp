#include "output/log_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qmt::output {

namespace {

constexpr mode_t NewFileMode = 0666; // narrowed by the umask, as any program's files
constexpr int OpenFlags = O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
// Enough for a file deleted and made again by someone else between two tries.
constexpr int OpenTries = 3;

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

WriteOutcome OpenFailure(const std::string& path, int errorNumber) {
    struct stat info {};
    if (errorNumber == ENXIO && ::stat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode)) {
        return {false, "a FIFO with no reader"};
    }
    return Failed(errorNumber);
}

// Opens the file to append to it, creating it when missing; `created` says
// whether this call made it. Never waits (O_NONBLOCK), then lets the writes wait.
int OpenToAppend(const std::string& path, bool& created, int& errorNumber) {
    for (int attempt = 0; attempt < OpenTries; ++attempt) {
        created = false;
        int fd = ::open(path.c_str(), OpenFlags);
        if (fd < 0 && errno == ENOENT) {
            created = true;
            fd = ::open(path.c_str(), OpenFlags | O_CREAT | O_EXCL, NewFileMode);
        }
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            errorNumber = errno;
            return -1;
        }
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
            errorNumber = errno;
            ::close(fd);
            return -1;
        }
        return fd;
    }
    errorNumber = EEXIST;
    return -1;
}

WriteOutcome WriteOnce(int fd, std::string_view bytes) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
        return Failed(errno);
    }
    if (static_cast<std::size_t>(written) < bytes.size()) {
        return TakeBack(fd, written, bytes.size());
    }
    return {};
}

WriteOutcome SyncRegularFile(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return Failed(errno);
    }
    if (S_ISREG(info.st_mode) && ::fsync(fd) != 0) {
        return Failed(errno);
    }
    return {};
}

WriteOutcome Sync(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return Failed(errno);
    }
    return Close(fd, SyncRegularFile(fd));
}

} // namespace

WriteOutcome AppendToFile(const std::string& path, std::string_view bytes,
                          std::string_view headWhenNew) {
    bool created = false;
    int errorNumber = 0;
    const int fd = OpenToAppend(path, created, errorNumber);
    if (fd < 0) {
        return OpenFailure(path, errorNumber);
    }
    std::string withHead;
    if (created && !headWhenNew.empty()) {
        withHead.reserve(headWhenNew.size() + bytes.size());
        withHead.append(headWhenNew).append(bytes);
        bytes = withHead;
    }
    const WriteOutcome outcome = Close(fd, WriteOnce(fd, bytes));
    if (!outcome.ok && created) {
        ::unlink(path.c_str()); // made by this call and holding nothing
    }
    return outcome;
}

WriteOutcome FlushFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return Failed(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return {};
    }
    WriteOutcome outcome = Sync(path, O_RDONLY);
    if (outcome.ok) {
        outcome = Sync(Folder(path), O_RDONLY | O_DIRECTORY);
    }
    return outcome;
}

} // namespace qmt::output
