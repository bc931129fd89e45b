#pragma once

#include "model/alert_bits.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// Events of the alert bits: each change of a status bit, with the channel's
// temperature and limit at that moment, and a hint when the temperature was
// on the side of the limit where the chip should not have made that change.
namespace qmt::model {

inline constexpr int AlertChannelCount = 3; // Local, Remote1, Remote2

// A channel's low, high and THERM limits in degrees Celsius.
struct AlertLimits {
    double low = 0.0;
    double high = 0.0;
    double therm = 0.0;
};

// What was known of a channel when the status was read. A channel with no
// reading of its own (Remote1 while the shared registers show Remote 2) has
// neither temperature nor limits.
struct AlertChannel {
    std::optional<float> temperature;
    std::optional<AlertLimits> limits;
};

struct AlertContext {
    std::array<AlertChannel, AlertChannelCount> channels{};
    std::optional<double> thermHysteresis; // degrees
};

struct AlertEvent {
    double time = 0.0; // on the caller's time scale
    int indicator = 0; // which of the twelve bits, by indicator index
    bool set = false;  // the bit's new state
    std::optional<float> temperature;
    std::optional<double> limit;
    bool anomaly = false;
};

// "Remote1 High set at 70.25 °C, limit 70.00 °C"; a bit without a limit
// names only what is known ("D1  Open set at 30.00 °C", "ALERT Bit cleared").
std::string AlertEventText(const AlertEvent& event);
// The event's bit caption, as beside its indicator.
std::string AlertEventCaption(const AlertEvent& event);
// The text with " (possible anomaly)" after an anomalous event.
std::string AlertEventDescription(const AlertEvent& event);

// Whether a change of this bit at temperature t with this limit is on the
// wrong side: a high bit set at or below its limit or cleared above it, a
// low bit set at or above it or cleared below it, a THERM bit set at or
// below its limit or cleared while not yet below limit - hysteresis. A
// reading stands for every temperature up to its resolution above it (1 °C
// for Local, 0.25 °C for the remotes), so only a change no such temperature
// explains is one.
bool IsAnomaly(int indicator, bool set, double t, double limit, double thermHysteresis);

// Turns successive status reads into events. The first read of a bit is its
// starting state, not an event; a bit that could not be read keeps its last
// state.
class AlertEventDetector {
public:
    // Appends an event per changed bit, in the limits window's order.
    void Feed(double time, const std::array<AlertState, AlertBitCount>& states,
              const AlertContext& context, std::vector<AlertEvent>& out);
    void Reset() { last_ = {}; }

private:
    std::array<AlertState, AlertBitCount> last_{};
};

} // namespace qmt::model
