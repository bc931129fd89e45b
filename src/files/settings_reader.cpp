#include "files/settings_reader.h"

namespace qmt::files {

namespace {

constexpr char LineFeed = '\n';

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

bool SkippedInNumber(char c) {
    return c == ' ' || c == '\t' || c == LineFeed;
}

// Reads until the character read is `wanted`; false at the end of the text.
bool ReadUntil(SettingsReader& reader, char wanted) {
    for (;;) {
        const auto c = reader.ReadChar();
        if (!c) {
            return false;
        }
        if (*c == wanted) {
            return true;
        }
    }
}

} // namespace

std::optional<char> SettingsReader::ReadChar(std::int16_t count) {
    if (count < 1) {
        return std::nullopt;
    }
    if (text_.size() - position_ < static_cast<std::size_t>(count)) {
        // What is left is still consumed, so the reader stays at the end.
        position_ = text_.size();
        return std::nullopt;
    }
    position_ += static_cast<std::size_t>(count);
    return text_[position_ - 1];
}

std::optional<bool> SettingsReader::IsEndOfFile() {
    const auto c = ReadChar();
    if (!c) {
        return std::nullopt;
    }
    return *c == '}';
}

std::optional<std::int32_t> SettingsReader::ReadByte() {
    const auto first = ReadChar();
    const auto second = ReadChar();
    if (!first || !second) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    for (const char c : {*first, *second}) {
        if (SkippedInNumber(c)) {
            continue;
        }
        const auto digit = HexDigit(c);
        if (!digit) {
            break;
        }
        value = value * 16 + *digit;
    }
    return value;
}

bool SettingsReader::SkipToLineEnd() {
    if (position_ > 0 && text_[position_ - 1] == LineFeed) {
        return true;
    }
    return ReadUntil(*this, LineFeed);
}

RecallResult RecallSettings(std::string_view text, const std::function<void()>& blockFound,
                            const std::function<void(std::int32_t, std::int32_t)>& write) {
    SettingsReader reader(text);
    RecallResult result;
    if (!ReadUntil(reader, '{')) {
        return result;
    }
    result.end = RecallEnd::EndedInBlock;
    if (!reader.SkipToLineEnd()) {
        return result;
    }
    blockFound();
    for (;;) {
        const auto closed = reader.IsEndOfFile();
        if (!closed) {
            return result;
        }
        if (*closed) {
            result.end = RecallEnd::Closed;
            return result;
        }
        if (!ReadUntil(reader, 'x')) {
            return result;
        }
        const auto address = reader.ReadByte();
        if (!address || !ReadUntil(reader, 'x')) {
            return result;
        }
        const auto value = reader.ReadByte();
        if (!value || !reader.SkipToLineEnd()) {
            return result;
        }
        write(*address, *value);
        ++result.written;
    }
}

} // namespace qmt::files
