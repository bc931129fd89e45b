#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A register value typed as a decimal number, checked before it reaches the
// chip. Values above 255 are fine here (the write sends 255); what cannot be
// meant as a register value is refused, so the chip never gets a value the
// user did not type.
namespace qmt::views {

enum class ValueRefusal { None, Negative, TooLarge };

struct ValueEntry {
    std::int32_t value = 0;
    ValueRefusal refusal = ValueRefusal::None;

    bool accepted() const { return refusal == ValueRefusal::None; }
};

// The decimal entry of the text rounded half-to-even ("12.5" -> 12, "" -> 0,
// "abc" -> 0); refused when negative or outside 32 bits.
ValueEntry RegisterValueEntry(std::string_view text);

// Why a value was refused, e.g. "the value is negative"; empty when accepted.
std::string RefusalReason(ValueRefusal refusal);

} // namespace qmt::views
