#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace qmt::link {

// State of the device link, owned by the application object.
struct USBStuff {
    std::int32_t DeviceAddress = 0; // 0 until the device search finds the chip
    std::string FirmwarePath;
    std::array<std::uint8_t, 513> FirmwarePathBuffer{};
    std::array<std::uint8_t, 64> ReceiveBuffer{};
};

} // namespace qmt::link
