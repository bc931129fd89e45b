#include "support/stub_bridge.h"

#include <algorithm>

namespace qmt::test {

std::int16_t StubBridge::LoadFirmWare(const char*) {
    log.push_back({});
    return firmwareStatus;
}

std::int16_t StubBridge::VendorIORequest(std::uint16_t request, std::int32_t value,
                                         std::int32_t index, std::int16_t arg4, std::int16_t,
                                         std::uint8_t* buffer) {
    log.push_back({request, value, index, arg4});
    ++vendorRequests_;
    if (failAfterRequests >= 0 && vendorRequests_ > failAfterRequests) {
        return 1;
    }
    if (request == 221) {
        return connectSucceedsAt > 0 && ++connectAttempts_ >= connectSucceedsAt ? 0 : 1;
    }
    const auto chip = chips.find(value);
    if (request == 222 && arg4 == 0) {
        const auto reg = index & 0xFF;
        if (chip != chips.end()) {
            chip->second[reg] = static_cast<std::uint8_t>(index >> 8);
            if (reg == 0x09 || reg == 0x0A) {
                chip->second[reg - 6] = static_cast<std::uint8_t>(index >> 8);
            }
        }
    } else if (chip == chips.end()) {
        buffer[0] = 0xFF;
    } else {
        const auto reg = chip->second.find(index);
        buffer[0] = reg == chip->second.end() ? std::uint8_t{0} : reg->second;
    }
    return 0;
}

std::vector<BridgeCall> StubBridge::Calls(std::uint16_t request) const {
    std::vector<BridgeCall> calls;
    std::copy_if(log.begin(), log.end(), std::back_inserter(calls),
                 [request](const BridgeCall& call) { return call.request == request; });
    return calls;
}

} // namespace qmt::test
