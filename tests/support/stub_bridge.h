#pragma once

#include "link/bridge.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qmt::test {

// One call the stub received.
struct BridgeCall {
    std::uint16_t request = 0; // 0 for LoadFirmWare
    std::int32_t value = 0;
    std::int32_t index = 0;
    std::int16_t arg4 = 0;
    std::int16_t arg5 = 0;
    std::uint8_t bufferOnEntry = 0; // element 0 of the buffer when the call came in
    std::int16_t status = 0;        // what the stub answered
};

// A scripted bridge that records every call. Chips are register maps at SMBus
// addresses; a read at an address without a chip answers status 0 and 0xFF,
// as the real bridge does. Defaults: firmware loads, the first connect
// attempt succeeds, no chip.
//
//   StubBridge bridge;
//   bridge.AddChip(0x4C);                 // register 254 reads 65
//   bridge.chips[0x4C][0x03] = 0x0C;      // Configuration Reg 1
//   bridge.connectSucceedsAt = 20;        // attempts 1..19 fail
//   bridge.failAfterRequests = 10;        // the 11th vendor request on fails
//   ... run ...
//   bridge.Count(222);                    // register requests seen
class StubBridge final : public link::Bridge {
public:
    static constexpr std::uint16_t FirmwareCall = 0;

    std::int16_t LoadFirmWare(const char* path) override;
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override;

    // A chip answering 65 at register 254 (the manufacturer's ID).
    void AddChip(std::int32_t address);

    // Calls of one request number (FirmwareCall for LoadFirmWare), in order.
    std::vector<BridgeCall> Calls(std::uint16_t request) const;
    int Count(std::uint16_t request) const;

    // Script.
    std::int16_t firmwareStatus = 0;
    int connectSucceedsAt = 1;  // attempt number that answers 0; 0: never
    int failAfterRequests = -1; // vendor requests answered before the link is lost; -1: never
    std::int16_t failureStatus = 1;
    // Register maps by SMBus address. A write stores its value at the pointer
    // written and, per writeMirrors, at the pointer it is read back from.
    std::map<std::int32_t, std::map<std::int32_t, std::uint8_t>> chips;
    std::map<std::int32_t, std::int32_t> writeMirrors{{0x09, 0x03}, {0x0A, 0x04}};

    // Record.
    std::vector<BridgeCall> log;
    std::vector<std::string> firmwarePaths;

private:
    std::int16_t Answer(std::uint16_t request, std::int32_t value, std::int32_t index,
                        std::int16_t arg4, std::uint8_t* buffer);
    int connectAttempts_ = 0;
    int vendorRequests_ = 0;
};

} // namespace qmt::test
