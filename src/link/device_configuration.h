#pragma once

#include "link/register_access.h"
#include "model/device_settings.h"

#include <cstdint>
#include <optional>
#include <string>

// The configuration window's settings read and written without the window,
// for scripts: the same bits of the same four registers.
namespace qmt::link {

struct DeviceConfiguration {
    model::Config1Settings config1;
    model::RateSettings rate;
    bool lock = false;
    std::int32_t thermHysteresis = 0;
};

// What to change; what is not given stays as the chip holds it.
struct ConfigurationChange {
    std::optional<bool> maskAll, standby, pin8Therm2, r2onR1, extRange, maskR1, maskR2;
    std::optional<bool> averagingOff;
    std::optional<int> rateCode; // 0 to RateItemCount - 1
    std::optional<bool> lock;
    std::optional<std::int32_t> thermHysteresis; // 0 to 255
};

// Configuration Reg 1, Conversion Rate, Configuration Reg 2 and the THERM
// hysteresis, in that order, as the window loads them.
DeviceConfiguration ReadConfiguration(RegisterAccess& access);

// Writes the registers that hold a given setting, each read right before it
// is written and read back after: Configuration Reg 1, the rate, then
// Configuration Reg 2 and the hysteresis, a lock that is being set last
// (the chip ignores the hysteresis once locked). Stops at the first write
// that did not take and returns why; empty when all took.
std::string ApplyConfiguration(RegisterAccess& access, const ConfigurationChange& change);

} // namespace qmt::link
