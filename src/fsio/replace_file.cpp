#include "fsio/replace_file.h"

#include "fsio/replace_target.h"
#include "fsio/stale_temporaries.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace qmt::fsio {

namespace {

constexpr int NameTries = 100;
constexpr mode_t PlainMode = 0666;
constexpr mode_t ExecutableMode = 0777;
constexpr mode_t ReplacementMode = 0600; // until it takes the old file's mode
constexpr mode_t PermissionBits = 07777;

Outcome Failed(const std::string& what, int errorNumber) {
    return {false, what + ": " + std::strerror(errorNumber)};
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now; a failing close can mean bytes that never reached the file.
    bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

std::string RandomTag() {
    static constexpr std::string_view Letters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, Letters.size() - 1);
    std::string tag;
    for (std::size_t i = 0; i < TemporaryTagLength; ++i) {
        tag += Letters[pick(random)];
    }
    return tag;
}

// Creates the temporary file exclusively, never through a link, and holds
// its lock so that no other writer takes it for a stale one.
int CreateTemporary(int folder, const std::string& name, mode_t mode, std::string& created) {
    for (int attempt = 0; attempt < NameTries; ++attempt) {
        created = TemporaryName(name, RandomTag());
        const int fd = ::openat(folder, created.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return -1;
        }
        struct stat info {};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &info) == 0 && info.st_nlink > 0) {
            return fd;
        }
        ::close(fd); // removed by a cleaner in the moment between create and lock
    }
    errno = EEXIST;
    return -1;
}

bool WriteAll(int fd, std::string_view bytes, const SystemCalls& calls) {
    while (!bytes.empty()) {
        const ssize_t written = calls.write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Gives the new file the owner, group and mode of the one it replaces.
bool TakeOver(int fd, const struct stat& old) {
    struct stat now {};
    if (::fstat(fd, &now) != 0) {
        return false;
    }
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        return false;
    }
    // After the owner: a change of owner clears the set-id bits.
    return ::fchmod(fd, old.st_mode & PermissionBits) == 0;
}

Outcome WriteTemporary(int fd, const std::string& path, std::string_view bytes,
                       const ReplaceTarget& target, const SystemCalls& calls) {
    if (!WriteAll(fd, bytes, calls)) {
        return Failed(path, errno);
    }
    if (target.existing && !TakeOver(fd, *target.existing)) {
        return Failed(path + " (keeping its owner and mode)", errno);
    }
    if (calls.fsync(fd) != 0) {
        return Failed(path + " (sync)", errno);
    }
    return {};
}

} // namespace

Outcome ReplaceFile(const std::string& path, std::string_view bytes, NewFileMode mode,
                    const SystemCalls& calls) {
    ReplaceTarget target;
    std::string error;
    if (!ResolveReplaceTarget(path, target, error)) {
        return {false, error};
    }
    const Descriptor folder(::open(target.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) {
        return Failed(target.folder, errno);
    }
    RemoveStaleTemporaries(folder.get(), target.name);
    const mode_t createMode = target.existing                   ? ReplacementMode
                              : mode == NewFileMode::Executable ? ExecutableMode
                                                                : PlainMode;
    std::string temporary;
    Descriptor file(CreateTemporary(folder.get(), target.name, createMode, temporary));
    if (file.get() < 0) {
        return Failed(path + " (temporary file)", errno);
    }
    // Renamed while its lock is held, so no cleaner takes it in between.
    Outcome outcome = WriteTemporary(file.get(), path, bytes, target, calls);
    if (outcome.ok &&
        calls.renameat(folder.get(), temporary.c_str(), folder.get(), target.name.c_str()) != 0) {
        outcome = Failed(path, errno);
    }
    if (!outcome.ok) {
        ::unlinkat(folder.get(), temporary.c_str(), 0);
        return outcome;
    }
    if (!file.Close()) {
        return Failed(path, errno);
    }
    if (calls.fsync(folder.get()) != 0) {
        return Failed(target.folder + " (sync of the folder)", errno);
    }
    return {};
}

} // namespace qmt::fsio
