#include "fsio/replace_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace qmt::fsio {
namespace {

namespace fs = std::filesystem;

// Another user than root, for the cases that only root can set up.
constexpr uid_t OtherUser = 65534;
constexpr gid_t OtherGroup = 65534;

class Folder {
public:
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "fsio-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path path_;
};

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct stat Stat(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

int FailingFsync(int) {
    errno = EIO;
    return -1;
}

ssize_t FullDisk(int, const void*, std::size_t) {
    errno = ENOSPC;
    return -1;
}

bool IsRoot() {
    return ::geteuid() == 0;
}

TEST(ReplaceFile, NewAndReplacedFilesTakeTheUmaskOrKeepTheOldMode) {
    Folder folder;
    const mode_t previous = ::umask(027);
    EXPECT_TRUE(ReplaceFile(folder / "new.sav", "one\n").ok);
    EXPECT_TRUE(ReplaceFile(folder / "script.sh", "#!/bin/sh\n", NewFileMode::Executable).ok);
    ::umask(previous);
    EXPECT_EQ(Read(folder / "new.sav"), "one\n");
    EXPECT_EQ(Stat(folder / "new.sav").st_mode & 07777, 0640u);
    EXPECT_EQ(Stat(folder / "script.sh").st_mode & 07777, 0750u);

    Write(folder / "kept.sav", "old");
    ::chmod((folder / "kept.sav").c_str(), 0604);
    const ino_t oldInode = Stat(folder / "kept.sav").st_ino;
    EXPECT_TRUE(ReplaceFile(folder / "kept.sav", "new", NewFileMode::Executable).ok);
    EXPECT_EQ(Read(folder / "kept.sav"), "new");
    EXPECT_EQ(Stat(folder / "kept.sav").st_mode & 07777, 0604u);
    EXPECT_NE(Stat(folder / "kept.sav").st_ino, oldInode); // a new file took its place
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"kept.sav", "new.sav", "script.sh"}));
}

TEST(ReplaceFile, FailedSyncWriteOrRenameLeavesTheOldFileAndNoTemporary) {
    Folder folder;
    const std::string path = folder / "a.sav";
    Write(path, "old");
    SystemCalls noSync;
    noSync.fsync = FailingFsync;
    const Outcome synced = ReplaceFile(path, "new", NewFileMode::Plain, noSync);
    EXPECT_FALSE(synced.ok);
    EXPECT_NE(synced.error.find(path), std::string::npos) << synced.error;
    EXPECT_NE(synced.error.find(std::strerror(EIO)), std::string::npos) << synced.error;

    SystemCalls full;
    full.write = FullDisk;
    const Outcome written = ReplaceFile(path, "new", NewFileMode::Plain, full);
    EXPECT_FALSE(written.ok);
    EXPECT_NE(written.error.find(std::strerror(ENOSPC)), std::string::npos) << written.error;
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.sav"});

    // A new name that could not be synced is not left behind either.
    EXPECT_FALSE(ReplaceFile(folder / "b.sav", "new", NewFileMode::Plain, noSync).ok);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.sav"});
    EXPECT_FALSE(ReplaceFile(folder / "missing/c.sav", "x").ok);
}

TEST(ReplaceFile, RefusesFifosFoldersAndDevicesAndLeavesThemAlone) {
    Folder folder;
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    fs::create_directory(folder / "dir");
    const Outcome fifo = ReplaceFile(folder / "fifo", "x");
    EXPECT_FALSE(fifo.ok);
    EXPECT_EQ(fifo.error, folder / "fifo" + " is a FIFO, not a regular file");
    EXPECT_TRUE(S_ISFIFO(Stat(folder / "fifo").st_mode));
    EXPECT_FALSE(ReplaceFile(folder / "dir", "x").ok);
    EXPECT_TRUE(fs::is_directory(folder / "dir"));
    // Through a link of the user's own it is still a FIFO.
    ASSERT_EQ(::symlink("fifo", (folder / "link").c_str()), 0);
    EXPECT_FALSE(ReplaceFile(folder / "link", "x").ok);
    EXPECT_TRUE(S_ISFIFO(Stat(folder / "fifo").st_mode));
    if (!IsRoot()) {
        GTEST_SKIP() << "a device node needs root";
    }
    ASSERT_EQ(::mknod((folder / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    const Outcome device = ReplaceFile(folder / "null", "x");
    EXPECT_EQ(device.error, folder / "null" + " is a device, not a regular file");
    EXPECT_TRUE(S_ISCHR(Stat(folder / "null").st_mode));
}

TEST(ReplaceFile, FollowsOwnLinksAndWritesTheirTarget) {
    Folder folder;
    fs::create_directory(folder / "real");
    Write(folder / "real/a.sav", "old");
    ASSERT_EQ(::symlink("real/a.sav", (folder / "link.sav").c_str()), 0);
    ASSERT_EQ(::symlink("real/b.sav", (folder / "dangling.sav").c_str()), 0);
    EXPECT_TRUE(ReplaceFile(folder / "link.sav", "new").ok);
    EXPECT_TRUE(ReplaceFile(folder / "dangling.sav", "made").ok);
    EXPECT_TRUE(fs::is_symlink(folder / "link.sav"));
    EXPECT_EQ(Read(folder / "real/a.sav"), "new");
    EXPECT_EQ(Read(folder / "real/b.sav"), "made");
    ASSERT_EQ(::symlink("loop", (folder / "loop").c_str()), 0);
    EXPECT_FALSE(ReplaceFile(folder / "loop", "x").ok);
}

TEST(ReplaceFile, RemovesStaleTemporariesOfItsOwnPatternOnly) {
    Folder folder;
    Write(folder / "a.sav.Ab12Cd.tmp", "killed run");
    Write(folder / "a.sav.Ab12C.tmp", "not ours: five letters");
    Write(folder / "b.sav.Ab12Cd.tmp", "another file's");
    Write(folder / "a.sav.Live99.tmp", "a writer at work");
    const int live = ::open((folder / "a.sav.Live99.tmp").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    EXPECT_TRUE(ReplaceFile(folder / "a.sav", "new").ok);
    ::close(live);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"a.sav", "a.sav.Ab12C.tmp",
                                                        "a.sav.Live99.tmp", "b.sav.Ab12Cd.tmp"}));
}

TEST(ReplaceFile, AsRootKeepsAnotherUsersOwnerAndRefusesTheirLinkInASharedFolder) {
    if (!IsRoot()) {
        GTEST_SKIP() << "needs root";
    }
    Folder folder;
    const std::string theirs = folder / "theirs.sav";
    Write(theirs, "old");
    ASSERT_EQ(::chown(theirs.c_str(), OtherUser, OtherGroup), 0);
    ASSERT_EQ(::chmod(theirs.c_str(), 0640), 0);
    EXPECT_TRUE(ReplaceFile(theirs, "new").ok);
    EXPECT_EQ(Read(theirs), "new");
    EXPECT_EQ(Stat(theirs).st_uid, OtherUser);
    EXPECT_EQ(Stat(theirs).st_gid, OtherGroup);
    EXPECT_EQ(Stat(theirs).st_mode & 07777, 0640u);

    // A shared sticky folder as /tmp is, another user's link in it to a root-only file.
    fs::create_directory(folder / "shared");
    ASSERT_EQ(::chmod((folder / "shared").c_str(), 01777), 0);
    const std::string secret = folder / "secret";
    Write(secret, "root's");
    const std::string link = folder / "shared/a.sav";
    ASSERT_EQ(::symlink(secret.c_str(), link.c_str()), 0);
    ASSERT_EQ(::lchown(link.c_str(), OtherUser, OtherGroup), 0);
    const Outcome followed = ReplaceFile(link, "evil");
    EXPECT_FALSE(followed.ok);
    EXPECT_EQ(followed.error, link + " is a symbolic link of another user, not followed");
    EXPECT_EQ(Read(secret), "root's");
    EXPECT_TRUE(fs::is_symlink(link));
}

} // namespace
} // namespace qmt::fsio
