#include "link/temperature_reading.h"

#include "model/temp_codes.h"

namespace qmt::link {

void ReadTemperatures(RegisterAccess& access) {
    auto& state = access.state();
    const std::int32_t address = access.usb().DeviceAddress;
    state.LocalTemp = model::DecodeWholeTemp(state, access.ReadRegister(address, 0x00));
    // Each remote channel is read low byte first, then high byte; keep this order.
    const int remote1Low = access.ReadRegister(address, 0x10);
    const int remote1High = access.ReadRegister(address, 0x01);
    state.Remote1Temp = model::DecodeQuarterTemp(state, remote1High, remote1Low);
    const int remote2Low = access.ReadRegister(address, 0x33);
    const int remote2High = access.ReadRegister(address, 0x30);
    state.Remote2Temp = model::DecodeQuarterTemp(state, remote2High, remote2Low);
}

} // namespace qmt::link
