#pragma once

#include "model/alert_bits.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// Events of the alert bits: each change of a status bit, with the channel's
// temperature and limit at that moment, and a hint when no reading around
// that moment lies on the side of the limit where the chip makes that change.
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
    // The alert check was setting the limits: its changes are no alerts.
    bool alertCheck = false;
};

struct AlertEvent {
    double time = 0.0; // on the caller's time scale
    int indicator = 0; // which of the twelve bits, by indicator index
    bool set = false;  // the bit's new state
    std::optional<float> temperature;
    std::optional<double> limit;
    bool anomaly = false;
    bool alertCheck = false; // made by the alert check, never an anomaly
};

// "Remote1 High set at 70.25 °C, limit 70.00 °C"; a bit without a limit
// names only what is known ("D1 Open set at 30.00 °C", "ALERT Bit cleared").
std::string AlertEventText(const AlertEvent& event);
// The event's bit named as beside its indicator, but with one blank between
// words: some captions there are spaced with two ("Local  Low").
std::string AlertEventCaption(const AlertEvent& event);
// The text with " (possible anomaly)" after an anomalous event, or " (alert
// check)" after one of the alert check's.
std::string AlertEventDescription(const AlertEvent& event);
// The event as one line of a list: its time text, a blank, its description.
std::string AlertEventLine(const std::string& timeText, const AlertEvent& event);

// Whether a change of this bit is on the wrong side of its limit for every
// temperature in [lowest, highest] widened by one reading step either way
// (1 °C for Local, 0.25 °C for the remotes): a high or THERM bit set with
// nothing above the limit, a high bit cleared with nothing at or below it, a
// low bit set with nothing below it or cleared with nothing at or above it,
// a THERM bit cleared with nothing below limit - hysteresis. The step covers
// what a reading rounds away and a conversion between two reads.
bool IsAnomaly(int indicator, bool set, double lowest, double highest, double limit,
               double thermHysteresis);

// One reading of the three temperatures; a channel that was not read (Remote1
// while the shared registers show Remote 2) is empty.
using AlertReading = std::array<std::optional<float>, AlertChannelCount>;

// Turns successive status reads into events. The first read of a bit is its
// starting state, not an event; a bit that could not be read keeps its last
// state. The chip latches a bit at any conversion since the previous poll, so
// an event is judged against every reading from the one standing at the
// previous poll to the first one after its own: its events wait for that
// reading. Events that no reading follows before the next poll carry no hint.
class AlertEventDetector {
public:
    // A fresh reading of the temperatures; appends the waiting events, judged.
    void Reading(const AlertReading& reading, std::vector<AlertEvent>& out);
    // A poll of the status. Appends the events still waiting from the previous
    // poll; this poll's events (in the limits window's order) wait.
    void Feed(double time, const std::array<AlertState, AlertBitCount>& states,
              const AlertContext& context, std::vector<AlertEvent>& out);
    // Appends the waiting events without a hint (the run ends).
    void Flush(std::vector<AlertEvent>& out);
    void Reset() { *this = {}; }

private:
    // The lowest and highest reading of one channel.
    struct Span {
        std::optional<float> lowest;
        std::optional<float> highest;
        void Add(float t);
    };
    struct Waiting {
        AlertEvent event;
        Span span;
        std::optional<double> thermHysteresis;
    };

    std::array<AlertState, AlertBitCount> last_{};
    AlertReading standing_{};                     // the latest reading of each channel
    std::array<Span, AlertChannelCount> spans_{}; // since the previous poll, with its standing one
    std::vector<Waiting> waiting_;
};

} // namespace qmt::model
