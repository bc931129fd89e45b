#include "fsio/replace_target.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace qmt::fsio {

namespace {

// The kernel's own limit on links followed while resolving one path.
constexpr int MostLinksFollowed = 40;

std::string Kind(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    return "no regular file";
}

void Split(const std::string& path, std::string& folder, std::string& name) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        folder = ".";
        name = path;
        return;
    }
    folder = slash == 0 ? "/" : path.substr(0, slash);
    name = path.substr(slash + 1);
}

bool ReadLink(const std::string& link, std::string& text) {
    std::vector<char> buffer(PATH_MAX);
    const ssize_t length = ::readlink(link.c_str(), buffer.data(), buffer.size());
    if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) {
        return false;
    }
    text.assign(buffer.data(), static_cast<std::size_t>(length));
    return true;
}

} // namespace

bool MayFollowLink(uid_t follower, const struct stat& link, const struct stat& folder) {
    if (link.st_uid == follower) {
        return true;
    }
    if (link.st_uid != 0) {
        return false;
    }
    const bool sharedSticky = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !sharedSticky || folder.st_uid == link.st_uid;
}

bool ResolveReplaceTarget(const std::string& path, ReplaceTarget& target, std::string& error) {
    std::string current = path;
    for (int followed = 0; followed <= MostLinksFollowed; ++followed) {
        Split(current, target.folder, target.name);
        if (target.name.empty() || target.name == "." || target.name == "..") {
            error = current + " is no file name";
            return false;
        }
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            if (errno != ENOENT) {
                error = current + ": " + std::strerror(errno);
                return false;
            }
            target.existing.reset();
            return true;
        }
        if (S_ISREG(info.st_mode)) {
            target.existing = info;
            return true;
        }
        if (!S_ISLNK(info.st_mode)) {
            error = current + " is " + Kind(info.st_mode) + ", not a regular file";
            return false;
        }
        struct stat folder {};
        std::string destination;
        if (::stat(target.folder.c_str(), &folder) != 0 || !ReadLink(current, destination)) {
            error = current + ": " + std::strerror(errno);
            return false;
        }
        if (!MayFollowLink(::geteuid(), info, folder)) {
            error = current + " is a symbolic link of another user, not followed";
            return false;
        }
        current = destination.starts_with('/') ? destination : target.folder + '/' + destination;
    }
    error = path + ": " + std::strerror(ELOOP);
    return false;
}

} // namespace qmt::fsio
