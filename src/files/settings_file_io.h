#pragma once

#include "fsio/replace_file.h"

#include <QString>
#include <cstdint>
#include <string>

// The settings file on disk.
namespace qmt::files {

// Larger files are no settings files (one is about 2 KB); refusing them
// keeps a wrongly picked file from filling the memory.
inline constexpr std::int64_t LargestSettingsFile = 1 << 20;

// The date and the time of a save, UTF-8, as the system's regional settings
// write them: the short date, the short time with seconds added.
struct SaveStamp {
    std::string date;
    std::string time;
};
SaveStamp SaveStampNow();

// Replaces the file with the text in one step (fsio::ReplaceFile): only a
// regular file or a new name, the old file untouched on failure, and
// `error` saying why in one line.
bool WriteSettingsFile(const QString& path, const std::string& text, std::string& error,
                       fsio::NewFileMode mode = fsio::NewFileMode::Plain);

// The file's bytes; false with a one-line reason when it cannot be read or
// is larger than LargestSettingsFile.
bool ReadSettingsFile(const QString& path, std::string& text, std::string& error);

} // namespace qmt::files
