#pragma once

#include "link/register_access.h"

#include <cstdint>
#include <string>
#include <string_view>

// A write of one register that says whether it took: the register behind the
// write pointer is read back, and a value the chip does not hold is named.
namespace qmt::link {

inline constexpr std::int32_t LargestPointer = 255;
inline constexpr std::int32_t LargestRegisterValue = 255;

// "bad register '300' (0 to 255)" and "bad value '300' (0 to 255)", for a
// pointer or value as the user gave it.
std::string BadRegisterText(std::string_view given);
std::string BadValueText(std::string_view given);

// "not written: the chip is locked (bit 7 of Configuration Reg 2)" when the
// lock bit is set (read from the chip), else empty.
std::string LockRefusal(RegisterAccess& access);

struct CheckedWrite {
    // What the chip holds behind the pointer afterwards, or the value written
    // when it was not read back.
    std::int32_t held = 0;
    // Empty when the write took (or was not read back); else the one-line
    // reason, naming the lock where it explains it.
    std::string refusal;
};

// Writes value (0 to 255) at pointer (0 to 255); with readBack, then reads the
// register of the table written at that pointer, if there is one.
CheckedWrite WriteCheckedRegister(RegisterAccess& access, std::int32_t pointer, std::int32_t value,
                                  bool readBack);

} // namespace qmt::link
