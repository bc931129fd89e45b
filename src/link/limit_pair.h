#pragma once

#include "link/register_access.h"
#include "model/temp_codes.h"

#include <cstdint>

namespace qmt::link {

// The two registers of a quarter-degree limit, at their write pointers.
struct LimitPairRegisters {
    std::int32_t high = 0;
    std::int32_t low = 0;
};

// Writes a quarter-degree limit of t degrees: the high byte, then the low byte.
// Both bytes reach the chip or neither does. A temperature below the range's
// bottom is written as the bottom (0 or -64 degC), one above the top as the top
// (255.75 or 191.75 degC), so the chip never holds half of a limit. Returns 0,
// or RegisterAccess::WriteRefused (nothing written) for a temperature that is
// not a number. A failing write goes to the link-error handling.
std::int16_t WriteLimitPair(RegisterAccess& access, LimitPairRegisters regs, double t);

// The two bytes WriteLimitPair writes for t (a number).
model::QuarterCode LimitPairCode(const GeneralStuff& state, double t);

} // namespace qmt::link
