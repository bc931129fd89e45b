#pragma once

// Only when the emulated board library is part of the build
// (QMT_HAVE_TARNLINK_CORE is then defined by qmt_test_support).
#ifdef QMT_HAVE_TARNLINK_CORE

#include "link/bridge.h"
#include "support/fake_clock.h"

#include <string>
#include <string_view>
#include <tarnlink_emulator.h>

namespace qmt::test {

// The emulated evaluation board in-process, as a Bridge. Its time is the
// FakeClock's elapsed milliseconds, so conversions and timeouts follow the
// pauses of the code under test. The board text is what a TARNLINK_BOARD
// file holds; a text the emulator rejects throws std::invalid_argument with
// its reason. The firmware file HLX3300FW.Hex lies in the build's bin/, the
// folder of every test executable, so link::ExecutableFolder() finds it.
//
//   FakeClock clock;
//   EmulatedBridge bridge(clock, boardText);
//   ConnectionSequence(access, clock, progress, {link::ExecutableFolder(), true, {}}).Run();
class EmulatedBridge final : public link::Bridge {
public:
    EmulatedBridge(FakeClock& clock, std::string_view boardText);

    std::int16_t LoadFirmWare(const char* path) override;
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override;

    tarnlink::Emulator& emulator() { return emulator_; }

private:
    tarnlink::Emulator emulator_;
};

} // namespace qmt::test

#endif
