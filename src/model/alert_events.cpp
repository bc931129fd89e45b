#include "model/alert_events.h"

#include "model/temp_codes.h"

#include <algorithm>
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
    event.alertCheck = context.alertCheck;
    const BitMeaning& meaning = MeaningOf(indicator);
    if (meaning.channel < 0) {
        return event;
    }
    const AlertChannel& channel = context.channels.at(static_cast<std::size_t>(meaning.channel));
    event.temperature = channel.temperature;
    if (channel.limits) {
        event.limit = LimitOf(meaning.kind, *channel.limits);
    }
    return event;
}

} // namespace

bool IsAnomaly(int indicator, bool set, double lowest, double highest, double limit,
               double thermHysteresis) {
    const BitMeaning& meaning = MeaningOf(indicator);
    const double step = meaning.channel == 0 ? LocalResolution : RemoteResolution;
    const double low = lowest - step;
    const double high = highest + step;
    switch (meaning.kind) {
    case Kind::High:
        return set ? high <= limit : low > limit;
    case Kind::Low:
        return set ? low >= limit : high < limit;
    case Kind::Therm:
        return set ? high <= limit : low >= limit - thermHysteresis;
    default:
        return false;
    }
}

std::string AlertEventCaption(const AlertEvent& event) {
    for (const AlertBit& bit : AlertBits) {
        if (bit.indicator == event.indicator) {
            std::string name = bit.caption;
            const auto doubled = [](char a, char b) { return a == ' ' && b == ' '; };
            name.erase(std::unique(name.begin(), name.end(), doubled), name.end());
            return name;
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
    if (event.alertCheck) {
        return AlertEventText(event) + " (alert check)";
    }
    return AlertEventText(event) + (event.anomaly ? " (possible anomaly)" : "");
}

std::string AlertEventLine(const std::string& timeText, const AlertEvent& event) {
    return timeText + " " + AlertEventDescription(event);
}

void AlertEventDetector::Span::Add(float t) {
    lowest = lowest ? std::min(*lowest, t) : t;
    highest = highest ? std::max(*highest, t) : t;
}

void AlertEventDetector::Reading(const AlertReading& reading, std::vector<AlertEvent>& out) {
    for (std::size_t channel = 0; channel < reading.size(); ++channel) {
        standing_[channel] = reading[channel];
        if (reading[channel]) {
            spans_[channel].Add(*reading[channel]);
        }
    }
    for (Waiting& waiting : waiting_) {
        AlertEvent& event = waiting.event;
        const BitMeaning& meaning = MeaningOf(event.indicator);
        if (event.alertCheck || meaning.channel < 0 || !event.limit ||
            (meaning.kind == Kind::Therm && !waiting.thermHysteresis)) {
            continue;
        }
        const std::optional<float>& next = reading.at(static_cast<std::size_t>(meaning.channel));
        if (!next) {
            continue;
        }
        waiting.span.Add(*next);
        event.anomaly =
            IsAnomaly(event.indicator, event.set, *waiting.span.lowest, *waiting.span.highest,
                      *event.limit, waiting.thermHysteresis.value_or(0.0));
    }
    Flush(out);
}

void AlertEventDetector::Feed(double time, const std::array<AlertState, AlertBitCount>& states,
                              const AlertContext& context, std::vector<AlertEvent>& out) {
    Flush(out);
    for (const AlertBit& bit : AlertBits) {
        const auto index = static_cast<std::size_t>(bit.indicator);
        const AlertState& now = states[index];
        if (!now) {
            continue;
        }
        if (last_[index] && *last_[index] != *now) {
            Waiting waiting{
                MakeEvent(time, bit.indicator, *now, context), {}, context.thermHysteresis};
            const int channel = MeaningOf(bit.indicator).channel;
            if (channel >= 0) {
                waiting.span = spans_.at(static_cast<std::size_t>(channel));
            }
            waiting_.push_back(waiting);
        }
        last_[index] = now;
    }
    // The next poll's span starts with the reading standing now.
    for (std::size_t channel = 0; channel < spans_.size(); ++channel) {
        spans_[channel] = {};
        if (standing_[channel]) {
            spans_[channel].Add(*standing_[channel]);
        }
    }
}

void AlertEventDetector::Flush(std::vector<AlertEvent>& out) {
    for (const Waiting& waiting : waiting_) {
        out.push_back(waiting.event);
    }
    waiting_.clear();
}

} // namespace qmt::model
