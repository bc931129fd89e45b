#include "model/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace qmt::model {

namespace {

constexpr int kFloatDigits = 7;
constexpr int kDoubleDigits = 15;

bool IsEntryBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// std::to_chars never consults the locale, unlike printf, so a German desktop
// still gets a point. "%G"-style: trailing zeros dropped, exponent only for
// magnitudes that readings and times never reach.
template <typename Real> std::string TrimmedText(Real value, int digits) {
    if (value == Real{0}) {
        return "0"; // also folds -0 into 0
    }
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, digits);
    std::string text(buffer.data(), result.ptr);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    const std::size_t zeroAt = text.starts_with('-') ? 1 : 0;
    if (text.compare(zeroAt, 2, "0.") == 0) {
        text.erase(zeroAt, 1);
    }
    return text;
}

std::string WithSignColumn(std::string text) {
    if (!text.starts_with('-')) {
        text.insert(text.begin(), ' ');
    }
    return text;
}

// Collects the characters of the number at the start of an entry, dropping
// blanks and tabs wherever they are, in the form std::from_chars accepts.
std::string CollectDecimal(std::string_view text) {
    std::size_t pos = 0;
    const auto peek = [&]() -> char {
        while (pos < text.size() && IsEntryBlank(text[pos])) {
            ++pos;
        }
        return pos < text.size() ? text[pos] : '\0';
    };
    const auto takeSign = [&](std::string& out) {
        const char c = peek();
        if (c == '-' || c == '+') {
            if (c == '-') {
                out += c;
            }
            ++pos;
        }
    };

    std::string number;
    takeSign(number);
    bool anyDigit = false;
    bool seenPoint = false;
    for (char c = peek(); IsDigit(c) || (c == '.' && !seenPoint); c = peek()) {
        seenPoint = seenPoint || c == '.';
        anyDigit = anyDigit || IsDigit(c);
        number += c;
        ++pos;
    }
    if (!anyDigit) {
        return {};
    }
    if (const char e = peek(); e == 'e' || e == 'E') {
        // The exponent counts only when digits follow it: "2e" is 2.
        std::string exponent = "e";
        ++pos;
        takeSign(exponent);
        bool exponentDigit = false;
        for (char c = peek(); IsDigit(c); c = peek()) {
            exponent += c;
            exponentDigit = true;
            ++pos;
        }
        if (exponentDigit) {
            number += exponent;
        }
    }
    return number;
}

// Decimal order of magnitude of a collected number that from_chars found out
// of range: positive means too large for a double, otherwise too small.
long OrderOfMagnitude(std::string_view number) {
    constexpr long kCap = 1'000'000;
    std::size_t pos = number.starts_with('-') ? 1 : 0;
    while (pos < number.size() && number[pos] == '0') {
        ++pos;
    }
    long order = 0;
    for (; pos < number.size() && IsDigit(number[pos]); ++pos) {
        order = std::min(order + 1, kCap);
    }
    if (order == 0 && pos < number.size() && number[pos] == '.') {
        for (++pos; pos < number.size() && number[pos] == '0'; ++pos) {
            order = std::max(order - 1, -kCap);
        }
    }
    const std::size_t e = number.find('e');
    if (e == std::string_view::npos) {
        return order;
    }
    const bool negative = e + 1 < number.size() && number[e + 1] == '-';
    long exponent = 0;
    for (pos = e + (negative ? 2 : 1); pos < number.size(); ++pos) {
        exponent = std::min(exponent * 10 + (number[pos] - '0'), kCap);
    }
    return negative ? order - exponent : order + exponent;
}

} // namespace

std::string PlainNumberText(float value) {
    return WithSignColumn(TrimmedText(value, kFloatDigits));
}

std::string PlainNumberText(double value) {
    return WithSignColumn(TrimmedText(value, kDoubleDigits));
}

std::string PlainNumberTextTrimmed(float value) {
    return TrimmedText(value, kFloatDigits);
}

std::string PlainNumberTextTrimmed(double value) {
    return TrimmedText(value, kDoubleDigits);
}

double DecimalEntry(std::string_view text) {
    const std::string number = CollectDecimal(text);
    if (number.empty()) {
        return 0.0;
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large gives an infinity that no range check accepts; too small is 0.
        if (OrderOfMagnitude(number) <= 0) {
            return 0.0;
        }
        const double huge = std::numeric_limits<double>::infinity();
        return number.starts_with('-') ? -huge : huge;
    }
    return value + 0.0; // no "-0" from "-0"
}

std::optional<double> StrictDecimal(std::string_view text) {
    while (!text.empty() && IsEntryBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsEntryBlank(text.back())) {
        text.remove_suffix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars would also take "inf", "nan" and a second sign.
    if (text.empty() || !(IsDigit(text.front()) || text.front() == '.')) {
        return std::nullopt;
    }
    double value = 0.0;
    const char* const end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc{} || result.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value + 0.0;
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction < 0.5) {
        return below;
    }
    if (fraction > 0.5) {
        return below + 1.0;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

bool DecimalEntryToInt32(std::string_view text, std::int32_t& value) {
    const double rounded = RoundHalfEven(DecimalEntry(text));
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max())) {
        return false;
    }
    value = static_cast<std::int32_t>(rounded);
    return true;
}

bool HexEntry(std::string_view text, std::int32_t& value) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == '0') {
        ++pos;
    }
    std::uint32_t bits = 0;
    int significant = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = HexDigitValue(text[pos]);
        if (digit < 0) {
            break;
        }
        if (++significant > 8) {
            return false;
        }
        bits = (bits << 4U) | static_cast<std::uint32_t>(digit);
    }
    value = static_cast<std::int32_t>(bits);
    return true;
}

std::int32_t HexEntryOrZero(std::string_view text) {
    std::int32_t value = 0;
    return HexEntry(text, value) ? value : 0;
}

std::string HexText(std::int32_t value) {
    std::array<char, 8> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                      static_cast<std::uint32_t>(value), 16);
    std::string text(buffer.data(), result.ptr);
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::string DecimalText(std::int32_t value) {
    return std::to_string(value);
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::int32_t> ParseNumberArgument(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.size() > 1 && (text.back() == 'h' || text.back() == 'H')) {
        base = 16;
        text.remove_suffix(1);
    }
    if (text.empty() || (base == 16 && text.front() == '-')) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace qmt::model
