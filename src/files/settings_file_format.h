#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The settings file as people read it: a short header, then one line per
// register between "{" and "}". Lines end in CR LF.
namespace qmt::files {

inline constexpr std::string_view LineEnd = "\r\n";

// One register line of the block.
struct SavedRegister {
    std::int32_t writeAddress = 0;
    std::int32_t value = 0;
    std::string description;
};

// The comment as written: line breaks become blanks (the comment is one line
// of the header, and a line of its own could pass for the block), then
// leading and trailing blanks are removed.
std::string CommentText(std::string_view comment);

// The header up to the empty line before the column heads: maker, program,
// "Saved: <date> at <time>", "Comment : <comment>", each followed by an
// empty line. The comment is taken as CommentText gives it.
std::string SettingsFileHeader(std::string_view date, std::string_view time,
                               std::string_view comment);

// "0x9<TAB>0x4<TAB> // Configuration Reg 1": hexadecimal without leading zeros.
std::string RegisterLine(const SavedRegister& row);

// The column heads, "{", one line per register in the given order and "}",
// every line ended by CR LF.
std::string RegisterBlock(const std::vector<SavedRegister>& rows);

} // namespace qmt::files
