#include "link/limit_pair.h"

#include "model/temp_codes.h"

#include <algorithm>
#include <cmath>

namespace qmt::link {

namespace {

// Quarter-degree codes span 256 degrees in steps of a quarter from the bottom.
constexpr double SpanOfCodes = 255.75;

double BottomOfRange(const GeneralStuff& state) {
    return model::DecodeWholeTemp(state, 0);
}

} // namespace

model::QuarterCode LimitPairCode(const GeneralStuff& state, double t) {
    const double bottom = BottomOfRange(state);
    return model::EncodeQuarterTemp(state, std::clamp(t, bottom, bottom + SpanOfCodes));
}

std::int16_t WriteLimitPair(RegisterAccess& access, LimitPairRegisters regs, double t) {
    if (std::isnan(t)) {
        return RegisterAccess::WriteRefused;
    }
    const model::QuarterCode code = LimitPairCode(access.state(), t);
    const std::int32_t address = access.usb().DeviceAddress;
    std::int32_t high = code.high;
    std::int32_t low = code.low;
    access.WriteRegister(address, regs.high, high);
    return access.WriteRegister(address, regs.low, low);
}

} // namespace qmt::link
