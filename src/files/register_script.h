#pragma once

#include "files/register_compare.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The register settings as a shell script of i2cset calls, for a Linux board
// that has the chip on one of its own I2C buses.
namespace qmt::files {

enum class ScriptValues { Chip, File };

// The forms the settings are exported in: an i2cset shell script, a C header
// or JSON, each with the same writes in the same order.
enum class ExportFormat { I2cset, C, Json };

struct ScriptHeader {
    int bus = 1;
    std::int32_t address = 0; // 7-bit
    std::string source;       // "the chip at 0x4C" or "the settings file a.sav"
    std::string time;         // when the values were taken
};

// One write of the settings, in the order they must be made.
struct RegisterWrite {
    std::int32_t pointer = 0; // the write pointer
    // Empty only for Configuration Reg 1 of a file that lacks it: the chip's,
    // with bit 3 set (true) or cleared (false) to select a channel, or as it is.
    std::optional<std::int32_t> value;
    std::optional<bool> selectsRemote2;
    std::string name;
};

struct SettingsWrites {
    std::vector<RegisterWrite> writes;
    // Configuration Reg 1 must be read from the chip first (see above).
    bool readsConfiguration = false;
    // "# name: why it is not written" lines.
    std::string comments;
};

// The writes that make the chip hold the rows' values, in the safe order:
// - Configuration Reg 1 comes first, with bit 3 selecting Remote 1 while
//   Remote 1's rows of the shared remote pointers are written, then Remote 2
//   for Remote 2's rows, and last as the rows say.
// - Configuration Reg 2 is written last of all: its bit 7 locks the limits.
// Rows without a write pointer, rows without a value, and (of the chip's
// values) the shared rows of the channel the chip did not show are not
// written but noted: writing them would change another register.
SettingsWrites PlanSettingsWrites(const model::RegMapStuff& table,
                                  const std::vector<CompareRow>& rows, ScriptValues values);

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

// The plan as a C header: "static const struct { uint8_t reg; uint8_t value; }
// qmt_register_writes[]", each row's name in a comment. Nothing when the plan
// must read Configuration Reg 1 from the chip, which a table cannot do.
std::optional<std::string> RegisterTableC(const SettingsWrites& plan, const ScriptHeader& header);

// The plan as JSON: {"chip", "address", "source", "taken", "writes": [{"reg",
// "value", "name"}...]}, numbers as numbers. Nothing where RegisterTableC gives nothing.
std::optional<std::string> RegisterTableJson(const SettingsWrites& plan,
                                             const ScriptHeader& header);

// The settings in the format; nothing where a table cannot hold them (see
// RegisterTableC).
std::optional<std::string> ExportSettings(const model::RegMapStuff& table,
                                          const std::vector<CompareRow>& rows, ScriptValues values,
                                          const ScriptHeader& header, ExportFormat format);

// The local time as "2026-12-06 22:52:03".
std::string ScriptTimeNow();

// Two upper-case hexadecimal digits after "0x": 0x09, 0x4C.
std::string ByteText(std::int32_t value);

} // namespace qmt::files
