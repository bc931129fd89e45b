#pragma once

#include "files/settings_reader.h"

#include <string>
#include <string_view>

// One-line reports of a save or recall, so a failure never passes for success.
namespace qmt::files {

std::string SavedText(int registers, std::string_view file);
std::string SaveFailedText(std::string_view file, std::string_view reason);
std::string RecallReadFailedText(std::string_view file, std::string_view reason);
// Why the file's block cannot be used, naming the line where it goes wrong:
// a.sav has no "{" / a.sav ends before "}" (line 4) / a.sav line 7 holds
// 0x100, more than two hexadecimal digits / a.sav line 7 is no register line.
std::string BlockFaultText(std::string_view file, RecallEnd end, int line,
                           std::string_view longNumber);
// What a recall did: "Recalled 30 registers from a.sav", or why it wrote nothing.
std::string RecallText(const RecallResult& result, std::string_view file);

} // namespace qmt::files
