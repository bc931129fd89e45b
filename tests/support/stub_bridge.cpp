#include "support/stub_bridge.h"

#include <algorithm>

namespace qmt::test {

namespace {

constexpr std::uint16_t ConnectRequest = 221;
constexpr std::uint16_t RegisterRequest = 222;
constexpr std::uint16_t StatusPollRequest = 220;
constexpr std::uint8_t NoChipByte = 0xFF;

} // namespace

std::int16_t StubBridge::LoadFirmWare(const char* path) {
    firmwarePaths.emplace_back(path);
    log.push_back({FirmwareCall, 0, 0, 0, 0, 0, firmwareStatus});
    return firmwareStatus;
}

std::int16_t StubBridge::VendorIORequest(std::uint16_t request, std::int32_t value,
                                         std::int32_t index, std::int16_t arg4, std::int16_t arg5,
                                         std::uint8_t* buffer) {
    BridgeCall call{request, value, index, arg4, arg5, buffer[0], 0};
    ++vendorRequests_;
    if (failAfterRequests >= 0 && vendorRequests_ > failAfterRequests) {
        call.status = failureStatus;
    } else {
        call.status = Answer(request, value, index, arg4, buffer);
    }
    log.push_back(call);
    return call.status;
}

std::int16_t StubBridge::Answer(std::uint16_t request, std::int32_t value, std::int32_t index,
                                std::int16_t arg4, std::uint8_t* buffer) {
    if (request == ConnectRequest) {
        ++connectAttempts_;
        return connectSucceedsAt > 0 && connectAttempts_ >= connectSucceedsAt ? 0 : failureStatus;
    }
    const auto chip = chips.find(value);
    const bool isWrite = request == RegisterRequest && arg4 == 0;
    if (isWrite) {
        if (chip != chips.end()) {
            const auto reg = index & 0xFF;
            const auto byte = static_cast<std::uint8_t>((index >> 8) & 0xFF);
            chip->second[reg] = byte;
            if (const auto mirror = writeMirrors.find(reg); mirror != writeMirrors.end()) {
                chip->second[mirror->second] = byte;
            }
        }
        return 0;
    }
    if (request == RegisterRequest || request == StatusPollRequest) {
        if (chip == chips.end()) {
            buffer[0] = NoChipByte;
        } else {
            const auto reg = chip->second.find(index);
            buffer[0] = reg == chip->second.end() ? std::uint8_t{0} : reg->second;
        }
    }
    return 0;
}

void StubBridge::AddChip(std::int32_t address) {
    chips[address][254] = 65;
}

std::vector<BridgeCall> StubBridge::Calls(std::uint16_t request) const {
    std::vector<BridgeCall> calls;
    std::copy_if(log.begin(), log.end(), std::back_inserter(calls),
                 [request](const BridgeCall& call) { return call.request == request; });
    return calls;
}

int StubBridge::Count(std::uint16_t request) const {
    return static_cast<int>(Calls(request).size());
}

} // namespace qmt::test
