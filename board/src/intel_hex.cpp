#include "intel_hex.h"

#include "file_text.h"

#include <optional>
#include <vector>

namespace tarnlink {

namespace {

// Far beyond any bridge firmware; keeps a wrong path from being read whole.
constexpr std::size_t MaxFileSize = 4 * 1024 * 1024;

enum RecordType : unsigned {
    Data = 0,
    EndOfFile = 1,
    ExtendedSegmentAddress = 2,
    StartSegmentAddress = 3,
    ExtendedLinearAddress = 4,
    StartLinearAddress = 5,
};

std::optional<unsigned> HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<unsigned>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<unsigned>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<unsigned>(c - 'a' + 10);
    }
    return std::nullopt;
}

bool DecodeBytes(std::string_view hex, std::vector<unsigned>& bytes) {
    bytes.clear();
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const auto high = HexDigit(hex[i]);
        const auto low = HexDigit(hex[i + 1]);
        if (!high || !low) {
            return false;
        }
        bytes.push_back(*high * 16 + *low);
    }
    return true;
}

// Payload length a record type demands; none for data records.
std::optional<unsigned> FixedLength(unsigned type) {
    switch (type) {
    case EndOfFile:
        return 0;
    case ExtendedSegmentAddress:
    case ExtendedLinearAddress:
        return 2;
    case StartSegmentAddress:
    case StartLinearAddress:
        return 4;
    default:
        return std::nullopt;
    }
}

HexCheck Fail(std::size_t lineNumber, const std::string& what) {
    HexCheck check;
    check.reason = "line " + std::to_string(lineNumber) + ": " + what;
    return check;
}

} // namespace

HexCheck CheckIntelHex(std::string_view text) {
    HexCheck result;
    std::vector<unsigned> bytes;
    bool ended = false;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            continue; // tolerated, as most tools do
        }
        if (ended) {
            return Fail(lineNumber, "data after the end record");
        }
        if (line.front() != ':') {
            return Fail(lineNumber, "a record must start with ':'");
        }
        line.remove_prefix(1);
        if (line.size() < 10 || line.size() % 2 != 0 || !DecodeBytes(line, bytes)) {
            return Fail(lineNumber, "not a record of hexadecimal byte pairs");
        }
        const unsigned count = bytes[0];
        if (bytes.size() != count + 5) {
            return Fail(lineNumber, "byte count does not match the record's length");
        }
        unsigned sum = 0;
        for (const unsigned byte : bytes) {
            sum += byte;
        }
        if (sum % 256 != 0) {
            return Fail(lineNumber, "checksum mismatch");
        }
        const unsigned type = bytes[3];
        if (type > StartLinearAddress) {
            return Fail(lineNumber, "unknown record type " + std::to_string(type));
        }
        const auto fixed = FixedLength(type);
        if (fixed && count != *fixed) {
            return Fail(lineNumber, "wrong length for record type " + std::to_string(type));
        }
        if (type == EndOfFile) {
            ended = true;
        }
        if (type == Data) {
            result.dataBytes += count;
        }
    }
    if (!ended) {
        return Fail(lineNumber, "no end-of-file record");
    }
    result.ok = true;
    return result;
}

HexCheck CheckIntelHexFile(const char* path) {
    HexCheck unreadable;
    unreadable.readable = false;
    if (path == nullptr) {
        unreadable.reason = "no firmware path";
        return unreadable;
    }
    std::string text;
    switch (ReadFileText(path, MaxFileSize, text)) {
    case FileTextResult::Unreadable:
        unreadable.reason = std::string("cannot read ") + path;
        return unreadable;
    case FileTextResult::TooLarge: {
        HexCheck tooBig;
        tooBig.reason = std::string(path) + " is too large for bridge firmware";
        return tooBig;
    }
    case FileTextResult::Ok:
        break;
    }
    HexCheck check = CheckIntelHex(text);
    if (!check.ok) {
        check.reason = std::string(path) + ": " + check.reason;
    }
    return check;
}

} // namespace tarnlink
