#pragma once

#include <array>
#include <cstdint>
#include <optional>

// The twelve alert bits of the two status registers, as the limits window
// lays out its indicators.
namespace qmt::model {

inline constexpr std::int32_t StatusRegister1 = 0x02;
inline constexpr std::int32_t StatusRegister2 = 0x23;
inline constexpr int AlertBitCount = 12;

struct AlertBit {
    int indicator;       // the indicator's index
    const char* caption; // the caption beside it
    std::int32_t reg;    // StatusRegister1 or StatusRegister2
    int bit;
};

// Top to bottom as laid out.
inline constexpr std::array<AlertBit, AlertBitCount> AlertBits{{
    {0, "Local High", StatusRegister1, 6},
    {1, "Local  Low", StatusRegister1, 5},
    {8, "Local THERM", StatusRegister1, 0},
    {2, "Remote1 High", StatusRegister1, 4},
    {3, "Remote1 Low", StatusRegister1, 3},
    {9, "Remote1 THERM", StatusRegister1, 1},
    {4, "Remote2 High", StatusRegister2, 4},
    {5, "Remote2 Low", StatusRegister2, 3},
    {10, "Remote2 THERM", StatusRegister2, 1},
    {6, "D1  Open", StatusRegister1, 2},
    {7, "D2 Open", StatusRegister2, 2},
    {11, "ALERT Bit", StatusRegister2, 0},
}};

// One indicator's state: on, off, or unknown (nullopt) after a failed read.
using AlertState = std::optional<bool>;

// The state of each indicator, by indicator index, from the two status bytes;
// a register that could not be read leaves its indicators unknown.
std::array<AlertState, AlertBitCount> AlertStates(std::optional<std::uint8_t> status1,
                                                  std::optional<std::uint8_t> status2);

} // namespace qmt::model
