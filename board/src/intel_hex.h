#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnlink {

struct HexCheck {
    bool ok = false;
    bool readable = true;      // false: the file could not be read at all
    std::string reason;        // one line, empty when ok
    std::size_t dataBytes = 0; // bytes carried by the data records
};

// Checks that the text is well-formed Intel HEX: every line a record with a
// correct length and checksum, known record types, and an end record last.
HexCheck CheckIntelHex(std::string_view text);

// The same for a file; unreadable files are reported as such.
HexCheck CheckIntelHexFile(const char* path);

} // namespace tarnlink
