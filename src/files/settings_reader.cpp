#include "files/settings_reader.h"

#include <algorithm>
#include <optional>

namespace qmt::files {

namespace {

constexpr char LineFeed = '\n';
constexpr std::string_view Blanks = " \t";
constexpr std::string_view CommentStart = "//";
constexpr std::string_view HexPrefix = "0x";
constexpr std::size_t LongestNumber = 2;
// Configuration Reg 2: bit 7 locks the limit registers.
constexpr std::int32_t LockingRegister = 0x24;

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return std::nullopt;
}

std::string_view TrimLeft(std::string_view text) {
    const auto first = text.find_first_not_of(Blanks);
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

// The "{" that opens the block: the first one that begins a line, else the
// first one anywhere (a saved file's comment line may hold a "{" of its own).
std::size_t BlockOpening(std::string_view text) {
    for (std::size_t start = 0; start < text.size();) {
        const auto first = text.find_first_not_of(Blanks, start);
        if (first != std::string_view::npos && text[first] == '{') {
            return first;
        }
        const auto end = text.find(LineFeed, start);
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return text.find('{');
}

// What a line of the block holds.
struct LineReading {
    enum Kind { Nothing, Register, Closing, Bad } kind = Bad;
    BlockLine values;
    std::string longNumber;
};

// "0x" and its digits at the start of `text`, which is advanced past them.
// Nothing without digits or with more than two; those go to `tooLong`.
std::optional<std::int32_t> TakeNumber(std::string_view& text, std::string& tooLong) {
    if (!text.starts_with(HexPrefix)) {
        return std::nullopt;
    }
    std::size_t digits = 0;
    std::int32_t value = 0;
    while (HexPrefix.size() + digits < text.size()) {
        const auto digit = HexDigit(text[HexPrefix.size() + digits]);
        if (!digit) {
            break;
        }
        // Capped so that a long run of digits cannot overflow.
        value = std::min(value * 16 + *digit, 0xFFF);
        ++digits;
    }
    const std::string_view number = text.substr(0, HexPrefix.size() + digits);
    text.remove_prefix(number.size());
    if (digits > LongestNumber) {
        tooLong = number;
        return std::nullopt;
    }
    return digits == 0 ? std::nullopt : std::optional<std::int32_t>(value);
}

LineReading ReadRegisterLine(std::string_view rest) {
    LineReading reading;
    const auto address = TakeNumber(rest, reading.longNumber);
    if (!address) {
        return reading;
    }
    const auto afterAddress = TrimLeft(rest);
    if (afterAddress.size() == rest.size()) {
        return reading; // no blank between the two numbers
    }
    rest = afterAddress;
    const auto value = TakeNumber(rest, reading.longNumber);
    rest = TrimLeft(rest);
    if (value && (rest.empty() || rest.starts_with(CommentStart))) {
        reading.kind = LineReading::Register;
        reading.values = {*address, *value};
    }
    return reading;
}

LineReading ReadLine(std::string_view line) {
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    const std::string_view rest = TrimLeft(line);
    if (rest.starts_with('}')) {
        return {LineReading::Closing, {}, {}};
    }
    if (rest.empty() || rest.starts_with(CommentStart)) {
        return {LineReading::Nothing, {}, {}};
    }
    return ReadRegisterLine(rest);
}

} // namespace

SettingsBlock ReadSettingsBlock(std::string_view text) {
    SettingsBlock block;
    const auto open = BlockOpening(text);
    if (open == std::string_view::npos) {
        return block;
    }
    block.end = RecallEnd::EndedInBlock;
    int number = 1 + static_cast<int>(std::count(text.begin(), text.begin() + open, LineFeed));
    block.line = number;
    auto start = text.find(LineFeed, open);
    while (start != std::string_view::npos && ++start < text.size()) {
        ++number;
        const auto end = text.find(LineFeed, start);
        const LineReading reading = ReadLine(text.substr(start, end - start));
        if (reading.kind == LineReading::Closing) {
            block.end = RecallEnd::Closed;
            block.line = number;
            return block;
        }
        block.line = number;
        if (end == std::string_view::npos) {
            break; // cut inside this line: it may be missing its end
        }
        if (reading.kind == LineReading::Bad) {
            block.end = RecallEnd::BadLine;
            block.longNumber = reading.longNumber;
            return block;
        }
        if (reading.kind == LineReading::Register) {
            block.lines.push_back(reading.values);
        }
        start = end;
    }
    return block;
}

RecallResult RecallSettings(std::string_view text, const std::function<void()>& blockFound,
                            const std::function<void(std::int32_t, std::int32_t)>& write) {
    RecallResult result{ReadSettingsBlock(text), 0};
    std::vector<BlockLine> lines;
    lines.swap(result.block.lines);
    if (result.block.end != RecallEnd::Closed) {
        return result;
    }
    std::stable_partition(lines.begin(), lines.end(),
                          [](const BlockLine& line) { return line.address != LockingRegister; });
    blockFound();
    for (const BlockLine& line : lines) {
        write(line.address, line.value);
        ++result.written;
    }
    return result;
}

} // namespace qmt::files
