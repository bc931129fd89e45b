#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The "Bit Display" without its labels: where each bit sits and how a
// register value and the eight bit texts turn into each other.
namespace qmt::views {

inline constexpr int BitCount = 8;

struct BitPlace {
    int left = 0;
    int width = 0;
};

// Bit i of a frame of the given width: bit 7 at the left, bit 0 at the
// right, with `margin` to spare at each end. Any unit (twips or pixels).
BitPlace PlaceOfBit(int frameWidth, int margin, int bit);
// Left edge of a name `nameWidth` wide centred under its bit.
int NameLeft(const BitPlace& bit, int nameWidth);

// "1" or "0" for bit i of the value, index = bit number.
std::array<std::string, BitCount> BitTexts(std::int32_t value);
// Sum of 2^i over the bits whose text is not "0".
std::int32_t ValueOfBitTexts(const std::array<std::string, BitCount>& texts);

// Decimal text of a hexadecimal entry, for the value box that follows the
// hexadecimal one. Eight digits or fewer read as 32 bits ("FFFFFFFF" -> "-1");
// a longer entry keeps its size ("123456789" -> "4886718345", capped at
// 2^64 - 1), so that the decimal box never shows a value the user did not type.
std::string DecimalTextOfHexEntry(std::string_view text);

} // namespace qmt::views
