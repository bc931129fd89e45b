#pragma once

#include "link/bridge.h"
#include "support/fake_clock.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <tarnlink_emulator.h>

namespace qmt::test {

// The emulated evaluation board in-process, timed by the FakeClock's elapsed
// milliseconds. A board text (what a TARNLINK_BOARD file holds) the emulator
// rejects throws std::invalid_argument. The firmware file lies beside every
// test executable, so link::ExecutableFolder() finds it.
class EmulatedBridge final : public link::Bridge {
public:
    EmulatedBridge(FakeClock& clock, std::string_view boardText)
        : emulator_([&clock] { return static_cast<std::uint64_t>(clock.ElapsedMs()); }) {
        std::string error;
        if (!emulator_.LoadBoardText(boardText, error)) {
            throw std::invalid_argument(error);
        }
    }

    std::int16_t LoadFirmWare(const char* path) override { return emulator_.LoadFirmWare(path); }
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override {
        return emulator_.VendorIORequest(request, value, index, arg4, arg5, buffer);
    }

private:
    tarnlink::Emulator emulator_;
};

} // namespace qmt::test
