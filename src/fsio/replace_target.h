#pragma once

#include <optional>
#include <string>
#include <sys/stat.h>

// Which file a replacement may take the place of. Only a regular file, or a
// name that does not exist, is replaced; a symbolic link is followed only by
// the rule the kernel applies with fs.protected_symlinks, narrowed to links of
// the user or of root, so that root's save never follows another user's link.
namespace qmt::fsio {

struct ReplaceTarget {
    std::string folder; // "." when the path names none
    std::string name;
    std::optional<struct stat> existing; // the regular file replaced, if any
};

// False with a one-line reason naming the file when it must not be replaced.
bool ResolveReplaceTarget(const std::string& path, ReplaceTarget& target, std::string& error);

// Whether `follower` may follow the link `link` found in `folder`.
bool MayFollowLink(uid_t follower, const struct stat& link, const struct stat& folder);

} // namespace qmt::fsio
