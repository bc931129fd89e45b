#pragma once

#include "link/bridge.h"
#include "support/fake_clock.h"
#include "support/test_paths.h"
#include "tarnlink_emulator.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace qmt::test {

// The emulated evaluation board in-process, on a world's fake clock. Needs
// the test linked with tarnlink_core and qmt_test_paths.
class EmulatedBoard final : public link::Bridge {
public:
    explicit EmulatedBoard(const std::string& boardText)
        : emulator_([this] { return clock ? static_cast<std::uint64_t>(clock->ElapsedMs()) : 0; }) {
        std::string error;
        loaded = emulator_.LoadBoardText(boardText, error);
    }
    std::int16_t LoadFirmWare(const char* /*path*/) override {
        return emulator_.LoadFirmWare(qmt::test::paths::Firmware);
    }
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override {
        if (request == tarnlink::RequestStatusPoll) {
            requests.push_back(-1);
        } else if (request == tarnlink::RequestRegister && arg4 == 1) {
            requests.push_back(index & 0xFF);
        }
        return emulator_.VendorIORequest(request, value, index, arg4, arg5, buffer);
    }
    // Reads of pointer `reg` (-1: status polls) since request `from`.
    long Count(std::int32_t reg, std::size_t from) const {
        return std::count(requests.begin() + static_cast<std::ptrdiff_t>(from), requests.end(),
                          reg);
    }

    FakeClock* clock = nullptr;
    bool loaded = false;
    std::vector<std::int32_t> requests; // pointers read, -1 for a status poll

private:
    tarnlink::Emulator emulator_;
};

} // namespace qmt::test
