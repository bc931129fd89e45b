#include "support/emulated_bridge.h"

#include <stdexcept>

namespace qmt::test {

EmulatedBridge::EmulatedBridge(FakeClock& clock, std::string_view boardText)
    : emulator_([&clock] { return static_cast<std::uint64_t>(clock.ElapsedMs()); }) {
    std::string error;
    if (!emulator_.LoadBoardText(boardText, error)) {
        throw std::invalid_argument(error);
    }
}

std::int16_t EmulatedBridge::LoadFirmWare(const char* path) {
    return emulator_.LoadFirmWare(path);
}

std::int16_t EmulatedBridge::VendorIORequest(std::uint16_t request, std::int32_t value,
                                             std::int32_t index, std::int16_t arg4,
                                             std::int16_t arg5, std::uint8_t* buffer) {
    return emulator_.VendorIORequest(request, value, index, arg4, arg5, buffer);
}

} // namespace qmt::test
