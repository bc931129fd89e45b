#pragma once

#include "link/bridge.h"

namespace qmt::app {

// Stands in for a bridge library that could not be loaded: the firmware
// download fails, so the user sees the firmware message and the program ends
// in order, as with a bridge that refuses its firmware.
class UnavailableBridge final : public link::Bridge {
public:
    std::int16_t LoadFirmWare(const char*) override { return -1; }
    std::int16_t VendorIORequest(std::uint16_t, std::int32_t, std::int32_t, std::int16_t,
                                 std::int16_t, std::uint8_t*) override {
        return 1;
    }
};

} // namespace qmt::app
