#pragma once

#include "files/settings_reader.h"

#include <string>
#include <string_view>

// One-line reports of a save or recall, so a failure never passes for success.
namespace qmt::files {

std::string SavedText(int registers, std::string_view file);
std::string SaveFailedText(std::string_view file, std::string_view reason);
std::string RecallReadFailedText(std::string_view file, std::string_view reason);
// What a recall did: "Recalled 30 registers from a.sav", or why it stopped.
std::string RecallText(const RecallResult& result, std::string_view file);

} // namespace qmt::files
