#include "model/alert_check_plan.h"

#include "model/alert_bits.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>

namespace qmt::model {

namespace {

constexpr std::uint8_t MaskAll = 0x80;
constexpr std::uint8_t StandbyBit = 0x40;
constexpr std::uint8_t PinIsTherm2 = 0x20;
constexpr std::uint8_t Remote2Bit = 0x08;
constexpr std::uint8_t ExtendedBit = 0x04;
constexpr std::uint8_t MaskRemote1 = 0x02;
constexpr std::uint8_t MaskRemote2 = 0x01;
constexpr std::uint8_t LockBit = 0x80;
constexpr std::uint8_t RateCodeBits = 0x0F;

// Conversion periods of rate codes 0 (1/16 Hz) to 10 (64 Hz); codes above
// 10 convert continuously, as fast as 10.
constexpr std::array<int, 11> PeriodsUs = {16'000'000, 8'000'000, 4'000'000, 2'000'000,
                                           1'000'000,  500'000,   250'000,   125'000,
                                           62'500,     31'250,    15'625};
constexpr int SlackMs = 20;
constexpr int UsPerMs = 1000;

constexpr int QuartersPerDegree = 4;
constexpr int Margin = 2 * QuartersPerDegree;
constexpr int TopWholeCode = 255 * QuartersPerDegree;
constexpr int TopQuarterCode = TopWholeCode + 3;

// Indicator indices of model::AlertBits: high, low, THERM per channel.
constexpr std::array<std::array<int, 3>, CheckChannelCount> Indicators{
    {{0, 1, 8}, {2, 3, 9}, {4, 5, 10}}};
constexpr std::array<int, CheckChannelCount> DiodeIndicators{-1, 6, 7};
constexpr int AlertIndicator = 11;

bool IndicatorOn(int indicator, std::uint8_t status1, std::uint8_t status2) {
    const auto states = AlertStates(status1, status2);
    return states[static_cast<std::size_t>(indicator)].value_or(false);
}

bool WholeDegrees(int channel, CheckColumn column) {
    return channel == 0 || column == CheckColumn::Therm;
}

// High and the mask's step watch the high comparator.
CheckColumn Comparator(CheckColumn column) {
    return column == CheckColumn::Mask ? CheckColumn::High : column;
}

bool Unmasked(std::uint8_t config1, int channel) {
    return WithChannelMasked(config1, channel) != config1;
}

// Whether ALRT can be compared at all; the reason when not.
std::optional<std::string> AlertNotCompared(const ChipView& view) {
    if ((view.config1 & PinIsTherm2) != 0) {
        return "ALRT not compared: pin 8 is THERM2";
    }
    if (AlertRaised(view.status2)) {
        return "ALRT not compared: it was set before the check";
    }
    return std::nullopt;
}

int FloorTo(int value, int step) {
    return value >= 0 ? value / step * step : -((-value + step - 1) / step * step);
}

} // namespace

std::vector<CheckStep> CheckSteps() {
    std::vector<CheckStep> steps;
    for (int channel = 0; channel < CheckChannelCount; ++channel) {
        for (const CheckColumn column :
             {CheckColumn::High, CheckColumn::Low, CheckColumn::Therm, CheckColumn::Mask}) {
            steps.push_back({channel, column, CheckPhase::Trip});
            steps.push_back({channel, column, CheckPhase::Clear});
        }
    }
    return steps;
}

const char* CheckChannelName(int channel) {
    constexpr std::array<const char*, CheckChannelCount> Names = {"Local", "Remote 1", "Remote 2"};
    return Names.at(static_cast<std::size_t>(channel));
}

const char* CheckColumnName(CheckColumn column) {
    switch (column) {
    case CheckColumn::High:
        return "High";
    case CheckColumn::Low:
        return "Low";
    case CheckColumn::Therm:
        return "THERM";
    case CheckColumn::Mask:
        break;
    }
    return "Mask";
}

std::string StepName(const CheckStep& step) {
    return std::string(CheckChannelName(step.channel)) + " " + CheckColumnName(step.column) +
           (step.phase == CheckPhase::Clear ? " (set back)" : "");
}

bool Locked(const ChipView& view) {
    return (view.config2 & LockBit) != 0;
}

bool InStandby(const ChipView& view) {
    return (view.config1 & StandbyBit) != 0;
}

bool ExtendedRange(const ChipView& view) {
    return (view.config1 & ExtendedBit) != 0;
}

bool Remote2Selected(const ChipView& view) {
    return (view.config1 & Remote2Bit) != 0;
}

std::uint8_t WithChannelMasked(std::uint8_t config1, int channel) {
    constexpr std::array<std::uint8_t, CheckChannelCount> Masks = {MaskAll, MaskRemote1,
                                                                   MaskRemote2};
    if ((config1 & MaskAll) != 0) {
        return config1;
    }
    return static_cast<std::uint8_t>(config1 | Masks.at(static_cast<std::size_t>(channel)));
}

std::optional<std::string> ChannelSkipped(const ChipView& view, int channel) {
    const int diode = DiodeIndicators.at(static_cast<std::size_t>(channel));
    if (diode >= 0 && IndicatorOn(diode, view.status1, view.status2)) {
        return "not checked: the diode is open";
    }
    return std::nullopt;
}

std::optional<std::string> CheckImpossible(const ChipView& view) {
    if (InStandby(view)) {
        return "not checked: the chip is in standby and does not convert";
    }
    if (!StepWaitMs(view.rate, view.consecutive)) {
        return "not checked: the conversion rate is too slow for the check";
    }
    return std::nullopt;
}

std::optional<int> StepWaitMs(std::uint8_t rate, std::uint8_t consecutive) {
    const auto code = std::min<std::size_t>(rate & RateCodeBits, PeriodsUs.size() - 1);
    const int needed =
        1 + std::popcount(static_cast<unsigned>((consecutive >> 1) & 0x07)); // 1 to 4
    const long long waitUs = static_cast<long long>(needed + 1) * PeriodsUs[code];
    const auto waitMs = static_cast<int>(waitUs / UsPerMs) + SlackMs;
    if (waitMs > LongestStepWaitMs) {
        return std::nullopt;
    }
    return waitMs;
}

std::optional<int> TripLimit(int channel, CheckColumn column, int reading) {
    const int step = WholeDegrees(channel, column) ? QuartersPerDegree : 1;
    const int top = WholeDegrees(channel, column) ? TopWholeCode : TopQuarterCode;
    int limit = 0;
    if (Comparator(column) == CheckColumn::Low) {
        limit = -FloorTo(-(reading + Margin), step); // rounded up
    } else {
        limit = FloorTo(reading - Margin, step);
    }
    if (limit < 0 || limit > top) {
        return std::nullopt;
    }
    return limit;
}

Expectation ExpectTripped(const ChipView& view, int channel, CheckColumn column,
                          std::uint8_t config1) {
    Expectation expected;
    expected.bit = true;
    const auto notCompared = AlertNotCompared(view);
    if (notCompared) {
        expected.reason = *notCompared;
        if (column == CheckColumn::Mask) {
            expected.bit.reset(); // the mask shows only in ALRT
            expected.reason = "not checked: " + expected.reason;
        }
        return expected;
    }
    expected.alert = column != CheckColumn::Therm && Unmasked(config1, channel);
    return expected;
}

Expectation ExpectAtLimit(const ChipView& view, int channel, CheckColumn column, int reading,
                          int limit, std::optional<bool> thermBefore) {
    Expectation expected;
    const CheckColumn comparator = Comparator(column);
    const int over = comparator == CheckColumn::Low ? limit - reading : reading - limit;
    const int hysteresis = view.hysteresis * QuartersPerDegree;
    if (over >= Margin) {
        expected.bit = true;
    } else if (comparator != CheckColumn::Therm && -over >= Margin) {
        expected.bit = false;
    } else if (comparator == CheckColumn::Therm && -over >= hysteresis + Margin) {
        expected.bit = false;
    } else if (comparator == CheckColumn::Therm && -over >= Margin &&
               -over <= hysteresis - Margin && thermBefore) {
        expected.bit = thermBefore; // inside the hysteresis band nothing changes
    } else {
        expected.reason = "not checked: the reading is within 2 °C of the limit";
        return expected;
    }
    const auto notCompared = AlertNotCompared(view);
    if (notCompared) {
        expected.reason = *notCompared;
        return expected;
    }
    expected.alert =
        *expected.bit && comparator != CheckColumn::Therm && Unmasked(view.config1, channel);
    return expected;
}

bool ConditionBit(int channel, CheckColumn column, std::uint8_t status1, std::uint8_t status2) {
    const auto& indicators = Indicators.at(static_cast<std::size_t>(channel));
    return IndicatorOn(indicators[static_cast<std::size_t>(Comparator(column))], status1, status2);
}

bool AlertRaised(std::uint8_t status2) {
    return IndicatorOn(AlertIndicator, 0, status2);
}

} // namespace qmt::model
