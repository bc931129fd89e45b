#pragma once

#include <string>
#include <string_view>

// The temporary files of a replacement: NAME.XXXXXX.tmp beside NAME, where
// XXXXXX are six letters or digits. The writer holds a lock on its temporary
// file while it lives, so one whose lock is free was left by a killed run.
namespace qmt::fsio {

inline constexpr std::size_t TemporaryTagLength = 6;

std::string TemporaryName(const std::string& name, std::string_view tag);
bool IsTemporaryOf(const std::string& name, std::string_view candidate);

// Removes the temporary files of NAME in the folder that no live writer holds.
void RemoveStaleTemporaries(int folder, const std::string& name);

} // namespace qmt::fsio
