#pragma once

#include "link/bridge.h"

#include <cstdint>
#include <map>
#include <vector>

namespace qmt::test {

// One call the stub received; request 0 is LoadFirmWare.
struct BridgeCall {
    std::uint16_t request = 0;
    std::int32_t value = 0;
    std::int32_t index = 0;
    std::int16_t arg4 = 0;
};

// A scripted bridge that records every call. Chips are register maps by SMBus
// address; a read where no chip answers gives status 0 and 0xFF, as the real
// bridge does. Defaults: firmware loads, the first connect succeeds, no chip.
class StubBridge final : public link::Bridge {
public:
    std::int16_t LoadFirmWare(const char* path) override;
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override;

    // A chip answering 65 (the manufacturer's ID) at register 254.
    void AddChip(std::int32_t address) { chips[address][254] = 65; }
    // Calls of one request number, in order.
    std::vector<BridgeCall> Calls(std::uint16_t request) const;
    int Count(std::uint16_t request) const { return static_cast<int>(Calls(request).size()); }

    std::int16_t firmwareStatus = 0;
    int connectSucceedsAt = 1;  // attempt that answers 0; 0: never
    int failAfterRequests = -1; // vendor requests served before the link is lost; -1: never
    // A write at 0x09 or 0x0A also lands at 0x03 or 0x04, where it is read back.
    std::map<std::int32_t, std::map<std::int32_t, std::uint8_t>> chips;
    std::vector<BridgeCall> log;

private:
    int connectAttempts_ = 0;
    int vendorRequests_ = 0;
};

} // namespace qmt::test
