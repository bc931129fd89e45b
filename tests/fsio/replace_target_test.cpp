#include "fsio/replace_target.h"

#include <gtest/gtest.h>

namespace qmt::fsio {
namespace {

struct stat Owned(uid_t owner, mode_t mode) {
    struct stat info {};
    info.st_uid = owner;
    info.st_mode = mode;
    return info;
}

// The fs.protected_symlinks rule, narrowed to the user's and root's links.
TEST(MayFollowLink, OwnLinksAlwaysRootsUnlessInAnotherUsersSharedFolder) {
    constexpr uid_t Me = 1000;
    constexpr uid_t Other = 1001;
    const struct stat plainFolder = Owned(Me, S_IFDIR | 0755);
    const struct stat sharedByRoot = Owned(0, S_IFDIR | 01777);
    const struct stat sharedByOther = Owned(Other, S_IFDIR | 01777);
    const struct stat stickyNotShared = Owned(Other, S_IFDIR | 01775);
    EXPECT_TRUE(MayFollowLink(Me, Owned(Me, S_IFLNK), sharedByOther));
    EXPECT_TRUE(MayFollowLink(Me, Owned(0, S_IFLNK), plainFolder));
    EXPECT_TRUE(MayFollowLink(Me, Owned(0, S_IFLNK), sharedByRoot));
    EXPECT_TRUE(MayFollowLink(Me, Owned(0, S_IFLNK), stickyNotShared));
    EXPECT_FALSE(MayFollowLink(Me, Owned(0, S_IFLNK), sharedByOther));
    EXPECT_FALSE(MayFollowLink(Me, Owned(Other, S_IFLNK), plainFolder));
    EXPECT_FALSE(MayFollowLink(0, Owned(Other, S_IFLNK), sharedByRoot));
    EXPECT_FALSE(MayFollowLink(0, Owned(Other, S_IFLNK), sharedByOther));
}

} // namespace
} // namespace qmt::fsio
