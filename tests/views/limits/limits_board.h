#pragma once

#include "link/bridge.h"
#include "support/stub_bridge.h"

namespace qmt::test {

// The stub chip with what the limits window relies on besides it: limits
// written at 0x0B to 0x0E are read back at 0x05 to 0x08, and the status poll
// (request 220) can be made to fail on its own.
class LimitsBoard final : public link::Bridge {
public:
    static constexpr std::int32_t Address = 0x4C;

    LimitsBoard() { stub.AddChip(Address); }

    std::int16_t LoadFirmWare(const char* path) override { return stub.LoadFirmWare(path); }
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override {
        if (request == 220 && failStatusPolls) {
            stub.log.push_back({request, value, index, arg4});
            return 1;
        }
        const std::int16_t status = stub.VendorIORequest(request, value, index, arg4, arg5, buffer);
        const std::int32_t reg = index & 0xFF;
        if (request == 222 && arg4 == 0 && reg >= 0x0B && reg <= 0x0E) {
            stub.chips[value][reg - 6] = static_cast<std::uint8_t>(index >> 8);
        }
        return status;
    }

    StubBridge stub;
    bool failStatusPolls = false;
};

} // namespace qmt::test
