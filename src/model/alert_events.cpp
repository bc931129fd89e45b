#include "model/alert_events.h"

#include "model/temp_codes.h"

#include <cstddef>

namespace qmt::model {

namespace {

enum class Kind { High, Low, Therm, Open, Alert };

struct BitMeaning {
    Kind kind;
    int channel; // -1 for the ALERT bit
};

// By indicator index (see AlertBits).
constexpr std::array<BitMeaning, AlertBitCount> Meanings{{
    {Kind::High, 0},  // 0 Local High
    {Kind::Low, 0},   // 1 Local Low
    {Kind::High, 1},  // 2 Remote1 High
    {Kind::Low, 1},   // 3 Remote1 Low
    {Kind::High, 2},  // 4 Remote2 High
    {Kind::Low, 2},   // 5 Remote2 Low
    {Kind::Open, 1},  // 6 D1 Open
    {Kind::Open, 2},  // 7 D2 Open
    {Kind::Therm, 0}, // 8 Local THERM
    {Kind::Therm, 1}, // 9 Remote1 THERM
    {Kind::Therm, 2}, // 10 Remote2 THERM
    {Kind::Alert, -1} // 11 ALERT Bit
}};

constexpr double LocalResolution = 1.0;
constexpr double RemoteResolution = 0.25;

const BitMeaning& MeaningOf(int indicator) {
    return Meanings.at(static_cast<std::size_t>(indicator));
}

std::optional<double> LimitOf(Kind kind, const AlertLimits& limits) {
    switch (kind) {
    case Kind::High:
        return limits.high;
    case Kind::Low:
        return limits.low;
    case Kind::Therm:
        return limits.therm;
    default:
        return std::nullopt;
    }
}

std::string DegreesText(double t) {
    auto value = static_cast<float>(t);
    return FormatTemp(value) + " \u00B0C";
}

AlertEvent MakeEvent(double time, int indicator, bool set, const AlertContext& context) {
    AlertEvent event;
    event.time = time;
    event.indicator = indicator;
    event.set = set;
    const BitMeaning& meaning = MeaningOf(indicator);
    if (meaning.channel < 0) {
        return event;
    }
    const AlertChannel& channel = context.channels.at(static_cast<std::size_t>(meaning.channel));
    event.temperature = channel.temperature;
    if (channel.limits) {
        event.limit = LimitOf(meaning.kind, *channel.limits);
    }
    if (event.temperature && event.limit &&
        (meaning.kind != Kind::Therm || context.thermHysteresis)) {
        event.anomaly = IsAnomaly(indicator, set, *event.temperature, *event.limit,
                                  context.thermHysteresis.value_or(0.0));
    }
    return event;
}

} // namespace

bool IsAnomaly(int indicator, bool set, double t, double limit, double thermHysteresis) {
    const BitMeaning& meaning = MeaningOf(indicator);
    // A reading drops what is below its resolution: the chip's own value may
    // lie anywhere in [t, t + resolution).
    const double resolution = meaning.channel == 0 ? LocalResolution : RemoteResolution;
    const double highest = t + resolution;
    switch (meaning.kind) {
    case Kind::High:
        return set ? highest <= limit : t > limit;
    case Kind::Low:
        return set ? t >= limit : highest <= limit;
    case Kind::Therm:
        return set ? highest <= limit : t >= limit - thermHysteresis;
    default:
        return false;
    }
}

std::string AlertEventCaption(const AlertEvent& event) {
    for (const AlertBit& bit : AlertBits) {
        if (bit.indicator == event.indicator) {
            return bit.caption;
        }
    }
    return {};
}

std::string AlertEventText(const AlertEvent& event) {
    std::string text = AlertEventCaption(event) + (event.set ? " set" : " cleared");
    if (event.temperature) {
        text += " at " + DegreesText(*event.temperature);
    }
    if (event.limit) {
        text += ", limit " + DegreesText(*event.limit);
    }
    return text;
}

std::string AlertEventDescription(const AlertEvent& event) {
    return AlertEventText(event) + (event.anomaly ? " (possible anomaly)" : "");
}

void AlertEventDetector::Feed(double time, const std::array<AlertState, AlertBitCount>& states,
                              const AlertContext& context, std::vector<AlertEvent>& out) {
    for (const AlertBit& bit : AlertBits) {
        const auto index = static_cast<std::size_t>(bit.indicator);
        const AlertState& now = states[index];
        if (!now) {
            continue;
        }
        if (last_[index] && *last_[index] != *now) {
            out.push_back(MakeEvent(time, bit.indicator, *now, context));
        }
        last_[index] = now;
    }
}

} // namespace qmt::model
