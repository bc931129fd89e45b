#pragma once

#include <array>
#include <cstdint>
#include <string>

// The configuration window's settings without the window: which bits of the
// four registers each setting owns. Every Apply* keeps the bits the window
// does not own exactly as read.
namespace qmt::model {

// Pointers of the four registers the window shows.
inline constexpr std::int32_t Config1Read = 0x03;
inline constexpr std::int32_t Config1Write = 0x09;
inline constexpr std::int32_t ConvRateRead = 0x04;
inline constexpr std::int32_t ConvRateWrite = 0x0A;
inline constexpr std::int32_t Config2Pointer = 0x24;
inline constexpr std::int32_t ThermHysteresisPointer = 0x21;

// "Configuration Reg 1" except bit 4, which is left alone.
struct Config1Settings {
    bool maskAll = false;    // bit 7
    bool standby = false;    // bit 6
    bool pin8Therm2 = false; // bit 5: pin 8 is THERM2 instead of ALERT
    bool r2onR1 = false;     // bit 3
    bool extRange = false;   // bit 2
    bool maskR1 = false;     // bit 1
    bool maskR2 = false;     // bit 0
};
Config1Settings ReadConfig1(std::int32_t value);
std::int32_t ApplyConfig1(std::int32_t value, const Config1Settings& settings);

// "Conversion Rate" bit 7 and the rate code in bits 3 to 0; bits 6 to 4 are left alone.
struct RateSettings {
    bool averagingOff = false;
    int rateCode = 0; // 0 to 15
};
RateSettings ReadRate(std::int32_t value);
std::int32_t ApplyRate(std::int32_t value, const RateSettings& settings);

// "Configuration Reg 2" bit 7, the register lock.
bool ReadLock(std::int32_t value);
std::int32_t ApplyLock(std::int32_t value, bool lock);

// The conversion rates by code; codes 11 to 15 are reserved.
inline constexpr int RateItemCount = 11;
extern const std::array<const char*, RateItemCount> RateItems;
// The list text of a code: the rate, or "Reserved (code 12)" for a reserved one.
std::string RateItemText(int code);

} // namespace qmt::model
