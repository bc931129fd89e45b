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

// The file holds one byte per character: UTF-8 text in Latin-1, every
// character beyond it as "?".
std::string FileBytes(std::string_view utf8);

// The comment (UTF-8) as written: line breaks become blanks (the comment is
// one line of the header, and a line of its own could pass for the block),
// leading and trailing blanks are removed, and the rest is taken as FileBytes
// gives it.
std::string CommentText(std::string_view comment);

// The header up to the empty line before the column heads: maker, program,
// "Saved: <date> at <time>", "Comment : <comment>", each followed by an
// empty line. All three texts are UTF-8; the comment is taken as CommentText
// gives it, date and time as FileBytes gives them.
std::string SettingsFileHeader(std::string_view date, std::string_view time,
                               std::string_view comment);

// A regional time format (Qt's notation) with seconds: "h:mm AP" gives
// "h:mm:ss AP", with the separator the format uses before the minutes.
std::string TimeFormatWithSeconds(std::string_view format);

// "0x9<TAB>0x4<TAB> // Configuration Reg 1": hexadecimal without leading zeros.
std::string RegisterLine(const SavedRegister& row);

// The column heads, "{", one line per register in the given order and "}",
// every line ended by CR LF.
std::string RegisterBlock(const std::vector<SavedRegister>& rows);

} // namespace qmt::files
