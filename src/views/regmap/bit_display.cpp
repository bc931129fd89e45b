#include "views/regmap/bit_display.h"

#include "model/number_text.h"

#include <limits>

namespace qmt::views {

BitPlace PlaceOfBit(int frameWidth, int margin, int bit) {
    const int width = (frameWidth - 2 * margin) / BitCount;
    return {frameWidth - ((bit + 1) * width + margin), width};
}

int NameLeft(const BitPlace& bit, int nameWidth) {
    return bit.left + bit.width / 2 - nameWidth / 2;
}

std::array<std::string, BitCount> BitTexts(std::int32_t value) {
    std::array<std::string, BitCount> texts;
    for (int i = BitCount - 1; i >= 0; --i) {
        const auto mask = std::int32_t{1} << i;
        // Built as a new string: assigning a literal trips GCC 12's -Wrestrict at -O2.
        texts.at(static_cast<std::size_t>(i)) = std::string(1, (value & mask) == mask ? '1' : '0');
    }
    return texts;
}

std::int32_t ValueOfBitTexts(const std::array<std::string, BitCount>& texts) {
    std::int32_t value = 0;
    for (int i = BitCount - 1; i >= 0; --i) {
        if (texts.at(static_cast<std::size_t>(i)) != "0") {
            value += std::int32_t{1} << i;
        }
    }
    return value;
}

std::string DecimalTextOfHexEntry(std::string_view text) {
    std::int32_t value = 0;
    if (model::HexEntry(text, value)) {
        return model::DecimalText(value);
    }
    constexpr std::uint64_t Largest = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t wide = 0;
    for (const char c : text) {
        const int digit = model::HexDigitValue(c);
        if (digit < 0) {
            break;
        }
        const auto d = static_cast<std::uint64_t>(digit);
        wide = wide > (Largest - d) / 16 ? Largest : wide * 16 + d;
    }
    return std::to_string(wide);
}

} // namespace qmt::views
