#pragma once

#include "files/register_compare.h"

#include <cstdint>
#include <string>
#include <vector>

// The register settings as a shell script of i2cset calls, for a Linux board
// that has the chip on one of its own I2C buses.
namespace qmt::files {

enum class ScriptValues { Chip, File };

struct ScriptHeader {
    int bus = 1;
    std::int32_t address = 0; // 7-bit
    std::string source;       // "the chip at 0x4C" or "the settings file a.sav"
    std::string time;         // when the values were taken
};

// "#!/bin/sh", a comment naming the chip, the source and the time, "set -e"
// (a failed write stops the script), then for every row in the given order
// "i2cset -y BUS 0xADDR 0xPOINTER 0xVALUE b # name" at the row's write
// pointer. Rows without a write pointer, and rows the file has no value for,
// become comments: writing them anywhere would change another register.
std::string I2csetScript(const std::vector<CompareRow>& rows, ScriptValues values,
                         const ScriptHeader& header);

// The local time as "2026-12-06 22:52:03".
std::string ScriptTimeNow();

// Two upper-case hexadecimal digits after "0x": 0x09, 0x4C.
std::string ByteText(std::int32_t value);

} // namespace qmt::files
