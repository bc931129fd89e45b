#pragma once

#include <cstddef>
#include <string>

namespace tarnlink {

enum class FileTextResult { Ok, Unreadable, TooLarge };

// Reads a whole file into `text`, giving up past `maxBytes` so that a wrong
// path (a device such as /dev/zero, a huge file) cannot exhaust memory. A
// folder or a read error is Unreadable.
FileTextResult ReadFileText(const char* path, std::size_t maxBytes, std::string& text);

} // namespace tarnlink
