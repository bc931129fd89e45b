#pragma once

#include <cstdint>

namespace qmt::link {

// The two calls of the USB-to-SMBus bridge library. Everything that talks to
// the chip goes through this seam, so tests can plug in a stub.
class Bridge {
public:
    virtual ~Bridge() = default;
    // Negative status: failure.
    virtual std::int16_t LoadFirmWare(const char* path) = 0;
    // Status 0: success.
    virtual std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value,
                                         std::int32_t index, std::int16_t arg4, std::int16_t arg5,
                                         std::uint8_t* buffer) = 0;
};

} // namespace qmt::link
