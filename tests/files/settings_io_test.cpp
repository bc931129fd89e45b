#include "files/settings_file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qmt::files {
namespace {

const std::string OldText = "Kestrivo\r\nthe old settings\r\n";

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void Put(const QString& path, const std::string& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

bool RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished() && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// The old file byte for byte, and nothing else in its folder.
void ExpectOldFileAlone(const QString& folder, const QString& path) {
    EXPECT_EQ(Contents(path), QByteArray::fromStdString(OldText));
    EXPECT_EQ(Entries(folder), QStringList{QStringLiteral("a.sav")});
}

TEST(SettingsFileIo, ASaveReplacesTheFileAndReadingRefusesWhatIsNoSettingsFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.sav");
    Put(path, OldText + "a longer old text than the new one\r\n");
    std::string error;
    ASSERT_TRUE(WriteSettingsFile(path, "new\r\n", error)) << error;
    EXPECT_EQ(Contents(path), "new\r\n");
    EXPECT_EQ(Entries(dir.path()), QStringList{"a.sav"});

    EXPECT_FALSE(WriteSettingsFile(dir.filePath("missing/a.sav"), "x", error));
    EXPECT_FALSE(error.empty());

    // Reading refuses a missing file and one too large to be settings.
    std::string text;
    EXPECT_FALSE(ReadSettingsFile(dir.filePath("none.sav"), text, error));
    Put(path, std::string(static_cast<std::size_t>(LargestSettingsFile), '{'));
    ASSERT_TRUE(ReadSettingsFile(path, text, error)) << error;
    EXPECT_EQ(text.size(), static_cast<std::size_t>(LargestSettingsFile));
    Put(path, std::string(static_cast<std::size_t>(LargestSettingsFile) + 1, '{'));
    EXPECT_FALSE(ReadSettingsFile(path, text, error));
    EXPECT_EQ(error, "larger than 1 MiB, not a settings file");
}

// A FIFO nobody writes to once blocked the recall (and the window) for good.
TEST(SettingsFileIo, ReadingNeverWaitsOnWhatIsNoFile) {
    QTemporaryDir dir;
    std::string text = "old";
    std::string error;
    const QString fifo = dir.filePath("pipe.sav");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(ReadSettingsFile(fifo, text, error)) << error;
    EXPECT_EQ(text, "");
    EXPECT_FALSE(ReadSettingsFile(dir.path(), text, error)); // a folder
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(ReadSettingsFile("/dev/zero", text, error));
    EXPECT_EQ(error, "larger than 1 MiB, not a settings file");
}

TEST(SettingsFileIo, AnImmutableTargetKeepsItsBytes) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "chattr +i needs root";
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("a.sav");
    Put(path, OldText);
    if (!RunTool("chattr", {"+i", path})) {
        GTEST_SKIP() << "the file system takes no immutable flag";
    }
    std::string error;
    const bool written = WriteSettingsFile(path, "new text\r\n", error);
    RunTool("chattr", {"-i", path});
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    ExpectOldFileAlone(dir.path(), path);
}

TEST(SettingsFileIo, AFullDiskKeepsTheOldFileWhole) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    }
    QTemporaryDir mountPoint;
    const QString folder = mountPoint.path();
    if (!RunTool("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", folder})) {
        GTEST_SKIP() << "no tmpfs can be mounted here";
    }
    const QString path = folder + "/a.sav";
    Put(path, OldText);
    // A new text far larger than the whole disk.
    std::string error;
    const bool written = WriteSettingsFile(path, std::string(256 * 1024, 'x'), error);
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    ExpectOldFileAlone(folder, path);

    // The disk all but full: the final flush is what fails.
    {
        QFile filler(folder + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(1024, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    QFile::resize(folder + "/filler", QFileInfo(folder + "/filler").size() - 2048);
    error.clear();
    EXPECT_FALSE(WriteSettingsFile(path, std::string(8 * 1024, 'x'), error));
    EXPECT_FALSE(error.empty());
    QFile::remove(folder + "/filler");
    ExpectOldFileAlone(folder, path);
    RunTool("umount", {folder});
}

} // namespace
} // namespace qmt::files
