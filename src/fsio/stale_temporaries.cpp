#include "fsio/stale_temporaries.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qmt::fsio {

namespace {

constexpr std::string_view Suffix = ".tmp";

std::vector<std::string> Candidates(int folder, const std::string& name) {
    std::vector<std::string> found;
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) {
        return found;
    }
    DIR* entries = ::fdopendir(listing);
    if (entries == nullptr) {
        ::close(listing);
        return found;
    }
    while (const dirent* entry = ::readdir(entries)) {
        if (IsTemporaryOf(name, entry->d_name)) {
            found.emplace_back(entry->d_name);
        }
    }
    ::closedir(entries);
    return found;
}

// Removes the regular file when no writer holds its lock. The lock is held
// while it goes, so a writer that just created it sees it gone and starts over.
void RemoveIfAbandoned(int folder, const std::string& candidate) {
    const int fd =
        ::openat(folder, candidate.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        ::unlinkat(folder, candidate.c_str(), 0);
    }
    ::close(fd);
}

} // namespace

std::string TemporaryName(const std::string& name, std::string_view tag) {
    return name + '.' + std::string(tag) + std::string(Suffix);
}

bool IsTemporaryOf(const std::string& name, std::string_view candidate) {
    if (candidate.size() != name.size() + 1 + TemporaryTagLength + Suffix.size() ||
        !candidate.starts_with(name) || candidate[name.size()] != '.' ||
        !candidate.ends_with(Suffix)) {
        return false;
    }
    const std::string_view tag = candidate.substr(name.size() + 1, TemporaryTagLength);
    return std::all_of(tag.begin(), tag.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

void RemoveStaleTemporaries(int folder, const std::string& name) {
    for (const std::string& candidate : Candidates(folder, name)) {
        RemoveIfAbandoned(folder, candidate);
    }
}

} // namespace qmt::fsio
