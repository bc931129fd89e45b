#include "register_layout.h"

namespace tarnlink::reg {

namespace {

struct Entry {
    std::uint8_t read;
    bool measured;
    bool writable;
    bool lockable;
    std::uint8_t powerOn;
};

// Offsets, the one-shot pointer and the identification bytes are not lockable:
// the lock protects the alarm set-up, not the calibration.
constexpr Entry Table[] = {
    {LocalTemp, true, false, false, 0x00},
    {Remote1TempHigh, true, false, false, 0x00},
    {Status1, true, false, false, 0x00},
    {Config1, false, true, true, 0x00},
    {ConversionRate, false, true, true, 0x08},
    {LocalHighLimit, false, true, true, 0x55},
    {LocalLowLimit, false, true, true, 0x00},
    {Remote1HighLimitHigh, false, true, true, 0x55},
    {Remote1LowLimitHigh, false, true, true, 0x00},
    {Remote1TempLow, true, false, false, 0x00},
    {Remote1OffsetHigh, false, true, false, 0x00},
    {Remote1OffsetLow, false, true, false, 0x00},
    {Remote1HighLimitLow, false, true, true, 0x00},
    {Remote1LowLimitLow, false, true, true, 0x00},
    {Remote1ThermLimit, false, true, true, 0x55},
    {LocalThermLimit, false, true, true, 0x55},
    {ThermHysteresis, false, true, true, 0x0A},
    {ConsecutiveAlert, false, true, true, 0x01},
    {Status2, true, false, false, 0x00},
    {Config2, false, true, true, 0x00},
    {Remote2TempHigh, true, false, false, 0x00},
    {Remote2HighLimitHigh, false, true, true, 0x55},
    {Remote2LowLimitHigh, false, true, true, 0x00},
    {Remote2TempLow, true, false, false, 0x00},
    {Remote2OffsetHigh, false, true, false, 0x00},
    {Remote2OffsetLow, false, true, false, 0x00},
    {Remote2HighLimitLow, false, true, true, 0x00},
    {Remote2LowLimitLow, false, true, true, 0x00},
    {Remote2ThermLimit, false, true, true, 0x55},
    {ManufacturerId, false, false, false, 0x41},
    {DieRevision, false, false, false, 0x52},
};

constexpr std::array<RegisterInfo, 256> MakeRegisters() {
    std::array<RegisterInfo, 256> registers{};
    for (const Entry& e : Table) {
        registers[e.read] = {true, e.measured, e.writable, e.lockable, e.powerOn};
    }
    return registers;
}

constexpr std::array<RegisterInfo, 256> AllRegisters = MakeRegisters();

} // namespace

const std::array<RegisterInfo, 256>& Registers() {
    return AllRegisters;
}

std::optional<std::uint8_t> WriteTarget(std::uint8_t pointer) {
    // Configuration, rate and the first limits have write pointers of their own.
    if (pointer >= 0x09 && pointer <= 0x0E) {
        return static_cast<std::uint8_t>(pointer - 0x06);
    }
    if (pointer >= 0x03 && pointer <= 0x08) {
        return std::nullopt;
    }
    if (AllRegisters[pointer].writable) {
        return pointer;
    }
    return std::nullopt;
}

std::uint8_t Remote2Twin(std::uint8_t pointer) {
    switch (pointer) {
    case Remote1TempHigh:
        return Remote2TempHigh;
    case Remote1HighLimitHigh:
        return Remote2HighLimitHigh;
    case Remote1LowLimitHigh:
        return Remote2LowLimitHigh;
    case Remote1TempLow:
        return Remote2TempLow;
    case Remote1OffsetHigh:
        return Remote2OffsetHigh;
    case Remote1OffsetLow:
        return Remote2OffsetLow;
    case Remote1HighLimitLow:
        return Remote2HighLimitLow;
    case Remote1LowLimitLow:
        return Remote2LowLimitLow;
    case Remote1ThermLimit:
        return Remote2ThermLimit;
    default:
        return pointer;
    }
}

} // namespace tarnlink::reg
