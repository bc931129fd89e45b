#include "chip.h"

#include "register_layout.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace tarnlink {

namespace {

// Conversion periods of rate codes 0 to 10 (1/16 Hz doubling up to 64 Hz);
// codes 11 to 15 run like 10, continuously.
constexpr std::array<std::uint64_t, 11> PeriodsMicros = {
    16'000'000, 8'000'000, 4'000'000, 2'000'000, 1'000'000, 500'000,
    250'000,    125'000,   62'500,    31'250,    15'625,
};
constexpr std::uint64_t AveragedConversionMicros = 12'000;
constexpr std::uint64_t SingleConversionMicros = 4'000;
// Conversions worked out after a long silence; older ones leave no trace.
constexpr std::uint64_t MaxCatchUp = 4096;

constexpr int TopCodeQuarters = 255 * 4 + 3;
constexpr int OpenDiodeQuarters = 255 * 4; // reads 0xFF / 0x00, the top of either range
constexpr int ExtendedOffsetQuarters = 64 * 4;

// Status Reg 1
constexpr std::uint8_t Converting = 0x80;
constexpr std::uint8_t LocalHigh = 0x40;
constexpr std::uint8_t LocalLow = 0x20;
constexpr std::uint8_t Remote1High = 0x10;
constexpr std::uint8_t Remote1Low = 0x08;
constexpr std::uint8_t Diode1Open = 0x04;
constexpr std::uint8_t Remote1Therm = 0x02;
constexpr std::uint8_t LocalTherm = 0x01;
// Status Reg 2
constexpr std::uint8_t Remote2High = 0x10;
constexpr std::uint8_t Remote2Low = 0x08;
constexpr std::uint8_t Diode2Open = 0x04;
constexpr std::uint8_t Remote2Therm = 0x02;
constexpr std::uint8_t Alert = 0x01;

std::uint8_t Bit(bool on, std::uint8_t mask) {
    return on ? mask : std::uint8_t{0};
}

// Measurement noise of an unaveraged conversion: -1, 0 or +1 quarter degree.
int NoiseQuarters(std::uint64_t seed) {
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<int>(z % 3) - 1;
}

// Set above the limit, cleared only below limit - hysteresis.
bool Hysteresis(bool active, int value, int limit, int hysteresis) {
    if (value > limit) {
        return true;
    }
    if (value < limit - hysteresis) {
        return false;
    }
    return active;
}

} // namespace

Chip::Chip(const BoardConfig& board, std::uint64_t nowMs)
    : sources_{board.local, board.remote1, board.remote2},
      highTripsLateQuarters_(static_cast<int>(std::lround(4.0 * board.highTripsLate))),
      deadComparator_(board.deadComparator), maskIgnored_(board.maskIgnored),
      alertStuck_(board.alertStuck), powerOnMs_(nowMs), epochMs_(nowMs) {
    const auto& registers = reg::Registers();
    for (std::size_t pointer = 0; pointer < registers.size(); ++pointer) {
        regs_[pointer] = registers[pointer].powerOn;
    }
    for (const auto& [pointer, value] : board.registerValues) {
        regs_[pointer] = value;
    }
    // Readings are valid from the very first request.
    Convert(nowMs * 1000);
}

std::uint8_t Chip::Read(std::uint8_t pointer, std::uint64_t nowMs) {
    CatchUp(nowMs);
    const std::uint8_t target = Pointed(pointer);
    if (target == reg::Status1) {
        return ReadStatus1(nowMs);
    }
    if (target == reg::Status2) {
        return ReadStatus2();
    }
    return reg::Registers()[target].exists ? regs_[target] : std::uint8_t{0};
}

std::optional<std::uint8_t> Chip::Write(std::uint8_t pointer, std::uint8_t value,
                                        std::uint64_t nowMs) {
    CatchUp(nowMs);
    if (pointer == reg::OneShot) {
        if (InStandby()) {
            ConvertNow(nowMs);
        }
        return std::nullopt;
    }
    const auto written = reg::WriteTarget(pointer);
    if (!written) {
        return std::nullopt;
    }
    const std::uint8_t target = Pointed(*written);
    if ((regs_[reg::Config2] & reg::Lock) != 0 && reg::Registers()[target].lockable) {
        return std::nullopt; // until the next power cycle
    }
    const std::uint8_t before = regs_[target];
    regs_[target] = value;
    if (target == reg::Config1) {
        OnConfig1Changed(before, nowMs);
    } else if (target == reg::ConversionRate && ((before ^ value) & reg::RateCode) != 0) {
        RestartSchedule(nowMs);
    }
    return target;
}

std::uint8_t Chip::Pointed(std::uint8_t pointer) const {
    return (regs_[reg::Config1] & reg::Remote2Selected) != 0 ? reg::Remote2Twin(pointer) : pointer;
}

void Chip::OnConfig1Changed(std::uint8_t before, std::uint64_t nowMs) {
    const std::uint8_t changed = before ^ regs_[reg::Config1];
    if ((changed & reg::Standby) != 0 && !InStandby()) {
        // Leaving standby starts converting at once.
        ConvertNow(nowMs);
    }
    if ((changed & reg::ExtendedRange) != 0) {
        // The chip keeps measured values; the range only changes how they read.
        EncodeReadings();
    }
}

bool Chip::InStandby() const {
    return (regs_[reg::Config1] & reg::Standby) != 0;
}

std::uint64_t Chip::PeriodMicros() const {
    const std::size_t code = regs_[reg::ConversionRate] & reg::RateCode;
    return PeriodsMicros[std::min(code, PeriodsMicros.size() - 1)];
}

void Chip::RestartSchedule(std::uint64_t nowMs) {
    epochMs_ = nowMs;
    conversionsDone_ = 0;
}

void Chip::ConvertNow(std::uint64_t nowMs) {
    Convert(nowMs * 1000);
    RestartSchedule(nowMs);
}

void Chip::CatchUp(std::uint64_t nowMs) {
    if (InStandby() || nowMs < epochMs_) {
        return;
    }
    const std::uint64_t period = PeriodMicros();
    const std::uint64_t due = (nowMs - epochMs_) * 1000 / period;
    if (due <= conversionsDone_) {
        return;
    }
    std::uint64_t next = conversionsDone_ + 1;
    if (due - conversionsDone_ > MaxCatchUp) {
        next = due - MaxCatchUp + 1;
    }
    for (; next <= due; ++next) {
        Convert(epochMs_ * 1000 + next * period);
    }
    conversionsDone_ = due;
}

void Chip::Convert(std::uint64_t atMicros) {
    ++conversionCount_;
    const double seconds = static_cast<double>(atMicros - powerOnMs_ * 1000) / 1e6;
    // Channel select: 0 all channels in turn, 1 local only, 2 remote 1, 3 remote 2.
    const unsigned select = (regs_[reg::ConversionRate] & reg::ChannelSelect) >> 4;
    if (select == 0 || select == 1) {
        Measure(Local, seconds);
    }
    if (select == 0 || select == 2) {
        Measure(Remote1, seconds);
    }
    if (select == 0 || select == 3) {
        Measure(Remote2, seconds);
    }
    EncodeReadings();
    CompareLimits();
}

double Chip::RemoteOffset(Channel channel) const {
    const std::uint8_t high = channel == Remote1 ? reg::Remote1OffsetHigh : reg::Remote2OffsetHigh;
    const std::uint8_t low = channel == Remote1 ? reg::Remote1OffsetLow : reg::Remote2OffsetLow;
    return static_cast<std::int8_t>(regs_[high]) + (regs_[low] >> 6) * 0.25;
}

void Chip::Measure(Channel channel, double seconds) {
    const TemperatureSource& source = sources_[channel];
    if (source.kind == TemperatureSource::Kind::Open) {
        return;
    }
    double celsius = TemperatureAt(source, seconds);
    if (channel != Local) {
        celsius += RemoteOffset(channel);
    }
    if ((regs_[reg::ConversionRate] & reg::AveragingOff) != 0) {
        celsius += 0.25 * NoiseQuarters(conversionCount_ * ChannelCount + channel);
    }
    // Far outside any code, and keeps the conversion to int defined.
    celsius = std::clamp(celsius, -1000.0, 1000.0);
    measuredQuarters_[channel] = channel == Local ? 4 * static_cast<int>(std::lround(celsius))
                                                  : static_cast<int>(std::lround(4.0 * celsius));
}

void Chip::EncodeReadings() {
    const int offset = (regs_[reg::Config1] & reg::ExtendedRange) != 0 ? ExtendedOffsetQuarters : 0;
    for (std::size_t channel = 0; channel < ChannelCount; ++channel) {
        if (sources_[channel].kind == TemperatureSource::Kind::Open) {
            codeQuarters_[channel] = OpenDiodeQuarters;
        } else {
            const int top = channel == Local ? 255 * 4 : TopCodeQuarters;
            codeQuarters_[channel] = std::clamp(measuredQuarters_[channel] + offset, 0, top);
        }
    }
    const auto highByte = [](int quarters) { return static_cast<std::uint8_t>(quarters >> 2); };
    const auto lowByte = [](int quarters) {
        return static_cast<std::uint8_t>((quarters & 3) << 6);
    };
    regs_[reg::LocalTemp] = highByte(codeQuarters_[Local]);
    regs_[reg::Remote1TempHigh] = highByte(codeQuarters_[Remote1]);
    regs_[reg::Remote1TempLow] = lowByte(codeQuarters_[Remote1]);
    regs_[reg::Remote2TempHigh] = highByte(codeQuarters_[Remote2]);
    regs_[reg::Remote2TempLow] = lowByte(codeQuarters_[Remote2]);
}

int Chip::HighLimit(Channel channel) const {
    switch (channel) {
    case Local:
        return regs_[reg::LocalHighLimit] * 4;
    case Remote1:
        return regs_[reg::Remote1HighLimitHigh] * 4 + (regs_[reg::Remote1HighLimitLow] >> 6);
    default:
        return regs_[reg::Remote2HighLimitHigh] * 4 + (regs_[reg::Remote2HighLimitLow] >> 6);
    }
}

int Chip::LowLimit(Channel channel) const {
    switch (channel) {
    case Local:
        return regs_[reg::LocalLowLimit] * 4;
    case Remote1:
        return regs_[reg::Remote1LowLimitHigh] * 4 + (regs_[reg::Remote1LowLimitLow] >> 6);
    default:
        return regs_[reg::Remote2LowLimitHigh] * 4 + (regs_[reg::Remote2LowLimitLow] >> 6);
    }
}

int Chip::ThermLimit(Channel channel) const {
    switch (channel) {
    case Local:
        return regs_[reg::LocalThermLimit] * 4;
    case Remote1:
        return regs_[reg::Remote1ThermLimit] * 4;
    default:
        return regs_[reg::Remote2ThermLimit] * 4;
    }
}

unsigned Chip::AlertsNeeded() const {
    // Bits 3:1 of the consecutive-alert register: 000 = 1, 001 = 2, 011 = 3, 111 = 4.
    return 1 + static_cast<unsigned>(std::popcount(
                   static_cast<unsigned>((regs_[reg::ConsecutiveAlert] >> 1) & 0x07)));
}

bool Chip::Dead(std::size_t channel, BoardConfig::DeadComparator::Limit limit) const {
    return deadComparator_ && deadComparator_->channel == channel &&
           deadComparator_->limit == limit;
}

bool Chip::Masked(std::size_t channel, std::uint8_t config) const {
    if (maskIgnored_ == channel) {
        return false;
    }
    const std::uint8_t own = channel == Remote1 ? reg::MaskRemote1 : reg::MaskRemote2;
    return (config & reg::MaskAll) != 0 || (channel != Local && (config & own) != 0);
}

void Chip::CompareLimits() {
    using Limit = BoardConfig::DeadComparator::Limit;
    const int hysteresis = regs_[reg::ThermHysteresis] * 4;
    std::array<bool, ChannelCount> high{};
    std::array<bool, ChannelCount> low{};
    for (std::size_t i = 0; i < ChannelCount; ++i) {
        const auto channel = static_cast<Channel>(i);
        const int value = codeQuarters_[i];
        high[i] = value > HighLimit(channel) + highTripsLateQuarters_ && !Dead(i, Limit::High);
        low[i] = value < LowLimit(channel) && !Dead(i, Limit::Low);
        therm_[i] =
            Hysteresis(therm_[i], value, ThermLimit(channel), hysteresis) && !Dead(i, Limit::Therm);
        overHigh_[i] = Hysteresis(overHigh_[i], value, HighLimit(channel), hysteresis);
    }
    const bool open1 = sources_[Remote1].kind == TemperatureSource::Kind::Open;
    const bool open2 = sources_[Remote2].kind == TemperatureSource::Kind::Open;
    current1_ = static_cast<std::uint8_t>(
        Bit(high[Local], LocalHigh) | Bit(low[Local], LocalLow) | Bit(high[Remote1], Remote1High) |
        Bit(low[Remote1], Remote1Low) | Bit(open1, Diode1Open) |
        Bit(therm_[Remote1], Remote1Therm) | Bit(therm_[Local], LocalTherm));
    current2_ =
        static_cast<std::uint8_t>(Bit(high[Remote2], Remote2High) | Bit(low[Remote2], Remote2Low) |
                                  Bit(open2, Diode2Open) | Bit(therm_[Remote2], Remote2Therm));

    const std::uint8_t config = regs_[reg::Config1];
    if ((config & reg::PinIsTherm2) != 0) {
        // Pin 8 as THERM2: a comparator on the high limits, nothing latched.
        alertRun_ = 0;
        therm2Alert_ = (!Masked(Local, config) && overHigh_[Local]) ||
                       (!Masked(Remote1, config) && overHigh_[Remote1]) ||
                       (!Masked(Remote2, config) && overHigh_[Remote2]);
    } else {
        therm2Alert_ = false;
        const bool alerting =
            (!Masked(Local, config) && (high[Local] || low[Local])) ||
            (!Masked(Remote1, config) && (high[Remote1] || low[Remote1] || open1)) ||
            (!Masked(Remote2, config) && (high[Remote2] || low[Remote2] || open2));
        alertRun_ = alerting ? std::min(alertRun_ + 1, 8u) : 0;
        alertSeen_ = alertSeen_ || alertRun_ >= AlertsNeeded();
        const bool alert = alertRun_ >= AlertsNeeded() || (alertStuck_ && alertSeen_);
        current2_ = static_cast<std::uint8_t>(current2_ | Bit(alert, Alert));
    }
    latched1_ = static_cast<std::uint8_t>(latched1_ | current1_);
    latched2_ = static_cast<std::uint8_t>(latched2_ | current2_);
}

bool Chip::Busy(std::uint64_t nowMs) const {
    if (InStandby() || nowMs < epochMs_) {
        return false;
    }
    const std::uint64_t period = PeriodMicros();
    const bool averaging = (regs_[reg::ConversionRate] & reg::AveragingOff) == 0;
    const std::uint64_t conversion =
        std::min(period, averaging ? AveragedConversionMicros : SingleConversionMicros);
    // Each conversion runs during the last part of its period, ending when its result lands.
    return (nowMs - epochMs_) * 1000 % period >= period - conversion;
}

std::uint8_t Chip::ReadStatus1(std::uint64_t nowMs) {
    const auto value = static_cast<std::uint8_t>(latched1_ | Bit(Busy(nowMs), Converting));
    latched1_ = current1_;
    return value;
}

std::uint8_t Chip::ReadStatus2() {
    const auto value = static_cast<std::uint8_t>(latched2_ | Bit(therm2Alert_, Alert));
    latched2_ = current2_;
    return value;
}

} // namespace tarnlink
