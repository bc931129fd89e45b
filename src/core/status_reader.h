#pragma once

#include "link/clock.h"
#include "link/register_access.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace qmt::core {

// One reading of both status registers; a register whose poll failed is empty.
struct StatusPoll {
    std::optional<std::uint8_t> status1;
    std::optional<std::uint8_t> status2;
};

// The one reader of the status registers. Polling one clears its latched
// bits on the chip, so two readers would steal bits from each other: every
// window that wants the status asks here, and each poll is handed to the
// timeline and to the lamps as well as returned. The monitoring cycle's
// readers poll at most once per interval.
class StatusReader {
public:
    static constexpr double IntervalMs = 200;
    using Listener = std::function<void(const StatusPoll&)>;

    StatusReader(link::RegisterAccess& access, link::Clock& clock)
        : access_(access), clock_(clock) {}

    // The latest poll: a new one when the interval has passed since the last
    // (or the clock went back at midnight), else the last one again.
    const StatusPoll& Read();
    // A new poll whatever the interval, for a reader that shows the
    // registers' current values (the register map).
    const StatusPoll& ReadNow();
    // Told of every new poll (the graph's status lanes and events); empty to stop.
    void SetListener(Listener listener) { listener_ = std::move(listener); }
    // Told of every new poll as well (the limits window's lamps); empty to stop.
    void SetLampsListener(Listener listener) { lamps_ = std::move(listener); }

private:
    bool Due(double now) const;
    const StatusPoll& Poll(double now);

    link::RegisterAccess& access_;
    link::Clock& clock_;
    Listener listener_;
    Listener lamps_;
    StatusPoll last_;
    std::optional<double> lastPoll_;
};

} // namespace qmt::core
