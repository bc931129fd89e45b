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
// (a failed write stops the script), then "i2cset -y BUS 0xADDR 0xPOINTER
// 0xVALUE b # name" per row at its write pointer, so that the chip ends
// holding what the rows say:
// - Configuration Reg 1 comes first, with bit 3 selecting Remote 1 while
//   Remote 1's rows of the shared remote pointers are written, then Remote 2
//   for Remote 2's rows, and last as the rows say. Without a row of its own
//   (a file that lacks it) the script reads the chip's with i2cget around
//   the shared rows and writes it back unchanged.
// - Configuration Reg 2 is written last of all: its bit 7 locks the limits.
// Rows without a write pointer, rows without a value, and (of the chip's
// values) the shared rows of the channel the chip did not show become
// comments: writing them would change another register. Control characters
// of the source and time never reach the script.
std::string I2csetScript(const model::RegMapStuff& table, const std::vector<CompareRow>& rows,
                         ScriptValues values, const ScriptHeader& header);

// The local time as "2026-12-06 22:52:03".
std::string ScriptTimeNow();

// Two upper-case hexadecimal digits after "0x": 0x09, 0x4C.
std::string ByteText(std::int32_t value);

} // namespace qmt::files
