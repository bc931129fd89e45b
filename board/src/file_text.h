#pragma once

#include <cstddef>
#include <string>

namespace tarnlink {

enum class FileTextResult { Ok, Unreadable, TooLarge };

// Reads a whole file into `text`, giving up past `maxBytes` so that a wrong
// path (a device such as /dev/zero, a huge file) cannot exhaust memory. A
// folder or a read error is Unreadable; a FIFO is read without waiting for
// a writer, so one that nobody writes to reads as empty.
FileTextResult ReadFileText(const char* path, std::size_t maxBytes, std::string& text);

} // namespace tarnlink
