#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

// Reading a settings file back. Only the block between the first "{" and the
// next "}" counts; people edit these files by hand, so the rules below are
// the whole contract of what a line may look like.
namespace qmt::files {

// The four character operations the recall is built from, over the file's
// bytes. Each answers nothing (nullopt / false) once it would read past the
// end, and the recall stops there.
class SettingsReader {
public:
    explicit SettingsReader(std::string_view text) : text_(text) {}

    // Reads `count` characters and returns the last of them; a count below
    // one reads nothing and returns nothing.
    std::optional<char> ReadChar(std::int16_t count = 1);
    // Reads one character: true when it is "}". It is consumed either way.
    std::optional<bool> IsEndOfFile();
    // Reads two characters as a hexadecimal number of either case: blanks,
    // tabs and line feeds among them are skipped, the first other character
    // that is no digit ends the number, no digit gives 0. "9<TAB>" -> 9,
    // "55" -> 0x55.
    std::optional<std::int32_t> ReadByte();
    // Reads up to and including the next line feed. When the last character
    // read was already a line feed (a one-digit value at the end of a line
    // ended by LF alone), the line is over and nothing is read, so the next
    // line is not swallowed.
    bool SkipToLineEnd();

    std::size_t position() const { return position_; }

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

enum class RecallEnd {
    Closed,      // the block ended at its "}"
    NoBlock,     // no "{" in the file: nothing was written
    EndedInBlock // the file ended inside the block: the lines before it were written
};

struct RecallResult {
    RecallEnd end = RecallEnd::NoBlock;
    int written = 0;
};

// Walks the block: for every line, the two hexadecimal bytes after the first
// two "x" are the register pointer and the value, handed to `write` in file
// order with no check against the register table. `blockFound` runs once,
// after the "{" line, before the first write. A line whose value the file
// ends in the middle of is not written.
RecallResult RecallSettings(std::string_view text, const std::function<void()>& blockFound,
                            const std::function<void(std::int32_t, std::int32_t)>& write);

} // namespace qmt::files
