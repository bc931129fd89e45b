#include "files/settings_file_io.h"

#include "files/settings_file_format.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace qmt::files {

namespace {

std::string Reason(const QFileDevice& file) {
    return file.errorString().toStdString();
}

} // namespace

SaveStamp SaveStampNow() {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    const std::string timeFormat =
        TimeFormatWithSeconds(locale.timeFormat(QLocale::ShortFormat).toStdString());
    return {locale.toString(now.date(), QLocale::ShortFormat).toStdString(),
            locale.toString(now.time(), QString::fromStdString(timeFormat)).toStdString()};
}

bool WriteSettingsFile(const QString& path, const std::string& text, std::string& error,
                       fsio::NewFileMode mode) {
    const fsio::Outcome outcome =
        fsio::ReplaceFile(QFile::encodeName(path).toStdString(), text, mode);
    error = outcome.error;
    return outcome.ok;
}

bool ReadSettingsFile(const QString& path, std::string& text, std::string& error) {
    // Opened without waiting: a FIFO that no one writes to would block the
    // open for good (and the program's window with it). Reads wait again, so
    // a pipe being written (a shell's <(...)) is read to its end, and one
    // without a writer reads as empty at once.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        error = std::strerror(errno);
        ::close(fd);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        error = Reason(file);
        ::close(fd);
        return false;
    }
    const QByteArray bytes = file.read(LargestSettingsFile + 1);
    if (file.error() != QFileDevice::NoError) {
        error = Reason(file);
        return false;
    }
    if (bytes.size() > LargestSettingsFile) {
        error = "larger than 1 MiB, not a settings file";
        return false;
    }
    text.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

} // namespace qmt::files
