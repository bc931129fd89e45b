#include "link/channel_limits.h"

#include "link/limit_pair.h"
#include "model/temp_codes.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace qmt::link {

namespace {

// A limit's registers: one byte for whole degrees, or a high and a low byte
// for quarter degrees (lowRead and lowWrite are 0 for a whole-degree limit).
struct LimitRegisters {
    std::int32_t read;
    std::int32_t lowRead;
    std::int32_t write;
    std::int32_t lowWrite;

    bool IsQuarter() const { return lowRead != 0; }
};

struct ChannelRegisters {
    LimitRegisters low;
    LimitRegisters high;
    LimitRegisters therm;
};

constexpr std::array<ChannelRegisters, LimitChannelCount> Channels{{
    {{0x06, 0, 0x0C, 0}, {0x05, 0, 0x0B, 0}, {0x20, 0, 0x20, 0}},
    {{0x08, 0x14, 0x0E, 0x14}, {0x07, 0x13, 0x0D, 0x13}, {0x19, 0, 0x19, 0}},
    {{0x32, 0x37, 0x32, 0x37}, {0x31, 0x36, 0x31, 0x36}, {0x39, 0, 0x39, 0}},
}};

constexpr double QuarterDegree = 0.25;
constexpr double WholeDegree = 1.0;
constexpr int LargestCode = 255;
constexpr int QuartersPerCode = 4;
constexpr int QuarterShift = 6; // the quarters sit in bits 7:6 of the low byte

const ChannelRegisters& RegistersOf(int channel) {
    return Channels.at(static_cast<std::size_t>(channel));
}

const LimitRegisters& RegistersOf(int channel, LimitKind kind) {
    const ChannelRegisters& regs = RegistersOf(channel);
    switch (kind) {
    case LimitKind::Low:
        return regs.low;
    case LimitKind::High:
        return regs.high;
    case LimitKind::Therm:
        break;
    }
    return regs.therm;
}

double ReadLimit(RegisterAccess& access, const LimitRegisters& regs) {
    const std::int32_t address = access.usb().DeviceAddress;
    const int high = access.ReadRegister(address, regs.read);
    if (!regs.IsQuarter()) {
        return model::DecodeWholeTemp(access.state(), high);
    }
    const int low = access.ReadRegister(address, regs.lowRead);
    return model::DecodeQuarterTemp(access.state(), high, low);
}

void WriteWholeLimit(RegisterAccess& access, std::int32_t reg, double t) {
    std::int32_t code = model::EncodeWholeTemp(access.state(), t);
    access.WriteRegister(access.usb().DeviceAddress, reg, code);
}

// The low and high limits: quarter degrees on the remote channels, whole
// degrees (taken at single precision) on Local.
void WriteLowOrHighLimit(RegisterAccess& access, const LimitRegisters& regs, double t) {
    if (regs.IsQuarter()) {
        WriteLimitPair(access, {regs.write, regs.lowWrite}, t);
    } else {
        WriteWholeLimit(access, regs.write, static_cast<float>(t));
    }
}

} // namespace

bool IsLimitWritePointer(std::int32_t reg) {
    if (reg == ThermHysteresisRegister) {
        return true;
    }
    for (const ChannelRegisters& channel : Channels) {
        for (const LimitRegisters* limit : {&channel.low, &channel.high, &channel.therm}) {
            if (reg == limit->write || (limit->IsQuarter() && reg == limit->lowWrite)) {
                return true;
            }
        }
    }
    return false;
}

ChannelLimits ReadChannelLimits(RegisterAccess& access, int channel) {
    const ChannelRegisters& regs = RegistersOf(channel);
    ChannelLimits limits;
    limits.low = ReadLimit(access, regs.low);
    limits.high = ReadLimit(access, regs.high);
    limits.therm = ReadLimit(access, regs.therm);
    return limits;
}

void WriteChannelLimits(RegisterAccess& access, int channel, const ChannelLimits& limits) {
    const ChannelRegisters& regs = RegistersOf(channel);
    WriteLowOrHighLimit(access, regs.low, limits.low);
    WriteLowOrHighLimit(access, regs.high, limits.high);
    WriteWholeLimit(access, regs.therm.write, limits.therm);
}

int ReadLimitQuarters(RegisterAccess& access, int channel, LimitKind kind) {
    const LimitRegisters& regs = RegistersOf(channel, kind);
    const std::int32_t address = access.usb().DeviceAddress;
    const int high = access.ReadRegister(address, regs.read) * QuartersPerCode;
    if (!regs.IsQuarter()) {
        return high;
    }
    return high + (access.ReadRegister(address, regs.lowRead) >> QuarterShift);
}

void WriteLimitQuarters(RegisterAccess& access, int channel, LimitKind kind, int quarters) {
    const LimitRegisters& regs = RegistersOf(channel, kind);
    const std::int32_t address = access.usb().DeviceAddress;
    std::int32_t high = quarters / QuartersPerCode;
    access.WriteRegister(address, regs.write, high);
    if (regs.IsQuarter()) {
        std::int32_t low = (quarters % QuartersPerCode) << QuarterShift;
        access.WriteRegister(address, regs.lowWrite, low);
    }
}

double StoredLimit(const GeneralStuff& state, int channel, LimitKind kind, double t) {
    if (RegistersOf(channel, kind).IsQuarter()) {
        const model::QuarterCode code = LimitPairCode(state, t);
        return model::DecodeQuarterTemp(state, code.high, code.low);
    }
    // As WriteLowOrHighLimit: Local's low and high limit at single precision.
    const double whole = kind == LimitKind::Therm ? t : static_cast<float>(t);
    const int code = model::EncodeWholeTemp(state, whole);
    return model::DecodeWholeTemp(state, std::clamp(code, 0, LargestCode));
}

double LimitResolution(int channel, LimitKind kind) {
    return RegistersOf(channel, kind).IsQuarter() ? QuarterDegree : WholeDegree;
}

} // namespace qmt::link
