#pragma once

#include <array>
#include <cstdint>
#include <optional>

// The QMT6171/2/3 register map as the chip sees it: every register is stored
// once, under the pointer it is read at.
namespace tarnlink::reg {

inline constexpr std::uint8_t LocalTemp = 0x00;
inline constexpr std::uint8_t Remote1TempHigh = 0x01;
inline constexpr std::uint8_t Status1 = 0x02;
inline constexpr std::uint8_t Config1 = 0x03;
inline constexpr std::uint8_t ConversionRate = 0x04;
inline constexpr std::uint8_t LocalHighLimit = 0x05;
inline constexpr std::uint8_t LocalLowLimit = 0x06;
inline constexpr std::uint8_t Remote1HighLimitHigh = 0x07;
inline constexpr std::uint8_t Remote1LowLimitHigh = 0x08;
inline constexpr std::uint8_t OneShot = 0x0F;
inline constexpr std::uint8_t Remote1TempLow = 0x10;
inline constexpr std::uint8_t Remote1OffsetHigh = 0x11;
inline constexpr std::uint8_t Remote1OffsetLow = 0x12;
inline constexpr std::uint8_t Remote1HighLimitLow = 0x13;
inline constexpr std::uint8_t Remote1LowLimitLow = 0x14;
inline constexpr std::uint8_t Remote1ThermLimit = 0x19;
inline constexpr std::uint8_t LocalThermLimit = 0x20;
inline constexpr std::uint8_t ThermHysteresis = 0x21;
inline constexpr std::uint8_t ConsecutiveAlert = 0x22;
inline constexpr std::uint8_t Status2 = 0x23;
inline constexpr std::uint8_t Config2 = 0x24;
inline constexpr std::uint8_t Remote2TempHigh = 0x30;
inline constexpr std::uint8_t Remote2HighLimitHigh = 0x31;
inline constexpr std::uint8_t Remote2LowLimitHigh = 0x32;
inline constexpr std::uint8_t Remote2TempLow = 0x33;
inline constexpr std::uint8_t Remote2OffsetHigh = 0x34;
inline constexpr std::uint8_t Remote2OffsetLow = 0x35;
inline constexpr std::uint8_t Remote2HighLimitLow = 0x36;
inline constexpr std::uint8_t Remote2LowLimitLow = 0x37;
inline constexpr std::uint8_t Remote2ThermLimit = 0x39;
inline constexpr std::uint8_t ManufacturerId = 0xFE;
inline constexpr std::uint8_t DieRevision = 0xFF;

// Configuration Reg 1 bits.
inline constexpr std::uint8_t MaskAll = 0x80;
inline constexpr std::uint8_t Standby = 0x40;
inline constexpr std::uint8_t PinIsTherm2 = 0x20;
inline constexpr std::uint8_t Remote2Selected = 0x08;
inline constexpr std::uint8_t ExtendedRange = 0x04;
inline constexpr std::uint8_t MaskRemote1 = 0x02;
inline constexpr std::uint8_t MaskRemote2 = 0x01;
// Conversion Rate bits.
inline constexpr std::uint8_t AveragingOff = 0x80;
inline constexpr std::uint8_t ChannelSelect = 0x30;
inline constexpr std::uint8_t RateCode = 0x0F;
// Configuration Reg 2 bits.
inline constexpr std::uint8_t Lock = 0x80;

struct RegisterInfo {
    bool exists = false;   // a register of the map
    bool measured = false; // written by the chip itself (temperatures, status)
    bool writable = false; // has a write pointer
    bool lockable = false; // frozen by the lock bit
    std::uint8_t powerOn = 0;
};

// Indexed by read pointer.
const std::array<RegisterInfo, 256>& Registers();

// The register (its read pointer) that a write at `pointer` stores into, before
// the remote selection is applied; none for pointers that take no writes.
std::optional<std::uint8_t> WriteTarget(std::uint8_t pointer);

// Remote 2's own register behind a shared remote pointer (0x01 -> 0x30, ...);
// any other pointer is returned unchanged.
std::uint8_t Remote2Twin(std::uint8_t pointer);

} // namespace tarnlink::reg
