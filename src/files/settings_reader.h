#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Reading a settings file back. Only the block between its "{" and the next
// "}" counts; people edit these files by hand, so the rules below are the
// whole contract of what a line may look like.
//
// The block opens at the first "{" that begins a line (blanks before it
// allowed), or, in a file with no such line, at the first "{" anywhere; the
// rest of that line is ignored. Every following line, up to one whose first
// character after blanks is "}", is one of:
// - empty or blanks only, or a comment starting with "//": nothing to write;
// - a register line: "0x" and one or two hexadecimal digits (the register
//   pointer), one or more blanks or tabs, "0x" and one or two digits (the
//   value), then nothing but blanks, optionally followed by "//" and any text.
// Digits are of either case; a line may end in CR LF or LF alone.
namespace qmt::files {

struct BlockLine {
    std::int32_t address = 0;
    std::int32_t value = 0;
};

enum class RecallEnd {
    Closed,       // the block ended at its "}"
    NoBlock,      // no "{" in the file
    EndedInBlock, // the file ends before the block's "}"
    BadLine       // a line of the block is none of the lines above
};

struct SettingsBlock {
    RecallEnd end = RecallEnd::NoBlock;
    // The register lines in file order: all of them when the block is
    // closed, else those before the line where reading stopped.
    std::vector<BlockLine> lines;
    // Counted from 1 at the file's first line: the bad line, or the last
    // line the file holds when it ends inside the block.
    int line = 0;
    // The bad line's number of three or more digits ("0x100"), when that is
    // what is wrong with it: such a value cannot be one register byte.
    std::string longNumber;
};

SettingsBlock ReadSettingsBlock(std::string_view text);

struct RecallResult {
    SettingsBlock block; // without its lines
    int written = 0;
};

// The recall: checks the whole block first and writes only when it is
// closed and every line is valid, so a damaged file writes nothing at all.
// `blockFound` runs once, right before the first write. The lines are handed
// to `write` in file order, except that the lines of Configuration Reg 2
// (0x24) come last: its bit 7 locks the limit registers, which would then
// ignore the writes after it.
RecallResult RecallSettings(std::string_view text, const std::function<void()>& blockFound,
                            const std::function<void(std::int32_t, std::int32_t)>& write);

} // namespace qmt::files
