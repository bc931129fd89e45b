#include "chip_state.h"

#include "board_config.h"
#include "file_text.h"
#include "register_layout.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnlink {

namespace {

// A state file is 30-odd short lines.
constexpr std::size_t MaxStateFileSize = 64 * 1024;

std::string SystemReason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool IsReadOnlyError(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// A path that is missing can still be created, if its folder allows.
bool MayWrite(const std::string& path) {
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 || errno == ENOENT;
}

std::string Folder(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// An flock on `<state>.lock`, held for the object's life. The state file
// itself is replaced by rename, so it cannot carry the lock. A reader that may
// not create or write the lock file shares the lock through a read-only
// descriptor, or reads unlocked when a read-only folder holds none: no one
// who could not create the lock file stores there.
class StateLock {
public:
    StateLock(const std::string& statePath, int operation) {
        const std::string path = statePath + ".lock";
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd_ < 0 && operation == LOCK_SH && IsReadOnlyError(errno)) {
            fd_ = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
            if (fd_ < 0 && errno == ENOENT) {
                return;
            }
        }
        if (fd_ < 0) {
            error_ = SystemReason("cannot open " + path);
            return;
        }
        while (::flock(fd_, operation) != 0) {
            if (errno != EINTR) {
                error_ = SystemReason("cannot lock " + path);
                return;
            }
        }
    }
    ~StateLock() {
        if (fd_ >= 0) {
            ::close(fd_); // releases the lock
        }
    }
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;
    // Empty once the lock is held.
    const std::string& error() const { return error_; }

private:
    int fd_ = -1;
    std::string error_;
};

// Only register lines, so that naming the board file itself as the state
// file is refused instead of the board file being rewritten.
bool OnlyRegisterLines(std::string_view text, std::string& error) {
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        line = line.substr(0, line.find('#'));
        const auto first = line.find_first_not_of(" \t\r");
        if (first != std::string_view::npos && !line.substr(first).starts_with("reg.")) {
            error = "line " + std::to_string(lineNumber) + ": not a register line";
            return false;
        }
    }
    return true;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Created exclusively and never through a link. One that is there already
// was left by a store that was killed, since the lock is held: it goes first.
int CreateNewFile(const std::string& path) {
    constexpr int Flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(path.c_str(), Flags, 0644);
    if (fd < 0 && errno == EEXIST && ::unlink(path.c_str()) == 0) {
        fd = ::open(path.c_str(), Flags, 0644);
    }
    return fd;
}

std::string StateText(const std::map<std::uint8_t, std::uint8_t>& values) {
    std::string text =
        "# Chip registers kept by the emulated board; rewritten after every write.\n";
    for (const auto& [pointer, value] : values) {
        char line[32];
        const int length =
            std::snprintf(line, sizeof line, "reg.0x%02X = 0x%02X\n", pointer, value);
        text.append(line, static_cast<std::size_t>(length));
    }
    return text;
}

} // namespace

bool ChipStateFile::Load(RegisterValues& values, std::string& error) const {
    const StateLock lock(path_, LOCK_SH);
    if (!lock.error().empty()) {
        error = lock.error();
        return false;
    }
    return LoadUnlocked(values, error);
}

bool ChipStateFile::LoadUnlocked(RegisterValues& values, std::string& error) const {
    values.clear();
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0 && errno == ENOENT) {
        return true; // nothing stored yet
    }
    std::string text;
    switch (ReadFileText(path_.c_str(), MaxStateFileSize, text)) {
    case FileTextResult::Unreadable:
        error = "cannot read it";
        return false;
    case FileTextResult::TooLarge:
        error = "too large";
        return false;
    case FileTextResult::Ok:
        break;
    }
    BoardConfig parsed;
    if (!OnlyRegisterLines(text, error) || !ParseBoardText(text, parsed, error)) {
        return false;
    }
    values = std::move(parsed.registerValues);
    return true;
}

bool ChipStateFile::Writable() const {
    return MayWrite(path_) && MayWrite(path_ + ".lock") && MayWrite(Folder(path_));
}

bool ChipStateFile::Store(const RegisterValues& changed, std::string& error) const {
    const StateLock lock(path_, LOCK_EX);
    if (!lock.error().empty()) {
        error = lock.error();
        return false;
    }
    RegisterValues stored;
    if (!LoadUnlocked(stored, error)) {
        return false;
    }
    std::map<std::uint8_t, std::uint8_t> merged(stored.begin(), stored.end());
    for (const auto& [pointer, value] : changed) {
        merged[pointer] = value;
    }
    // Only the lock holder writes the new file, so its name can be fixed.
    const std::string temporary = path_ + ".new";
    const int fd = CreateNewFile(temporary);
    if (fd < 0) {
        error = SystemReason("cannot create " + temporary);
        return false;
    }
    bool done = WriteAll(fd, StateText(merged)) && ::fsync(fd) == 0;
    if (!done) {
        error = SystemReason("cannot write " + temporary);
    }
    if (::close(fd) != 0 && done) {
        done = false;
        error = SystemReason("cannot write " + temporary);
    }
    if (done && ::rename(temporary.c_str(), path_.c_str()) != 0) {
        done = false;
        error = SystemReason("cannot replace " + path_);
    }
    if (!done) {
        ::unlink(temporary.c_str());
    }
    return done;
}

RegisterValues WrittenSettings(const std::array<std::uint8_t, 256>& before,
                               const std::array<std::uint8_t, 256>& after,
                               std::optional<std::uint8_t> written) {
    RegisterValues changed;
    const auto& registers = reg::Registers();
    for (std::size_t pointer = 0; pointer < registers.size(); ++pointer) {
        const reg::RegisterInfo& info = registers[pointer];
        const bool wrote = written && *written == pointer;
        if (info.exists && !info.measured && (wrote || before[pointer] != after[pointer])) {
            changed.emplace_back(static_cast<std::uint8_t>(pointer), after[pointer]);
        }
    }
    return changed;
}

} // namespace tarnlink
