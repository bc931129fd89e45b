// Typed entries reach the number parsers unfiltered from text boxes and
// settings files, so they must cope with any bytes at all.
#include "model/number_text.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (std::isnan(qmt::model::DecimalEntry(text))) {
        __builtin_trap();
    }
    std::int32_t whole = 0;
    qmt::model::DecimalEntryToInt32(text, whole);

    std::int32_t hex = 0;
    if (qmt::model::HexEntry(text, hex) && qmt::model::HexEntryOrZero(text) != hex) {
        __builtin_trap();
    }
    return 0;
}
