#pragma once

#include "link/clock.h"
#include "link/register_access.h"
#include "model/general_stuff.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>

namespace qmt::core {

// The five periodic activities of the master timer, in the order a tick runs them.
enum class Activity : int {
    ReadTemperatures = 0,
    RegMapContinuousRead = 1,
    LimitsRefresh = 2,
    GraphFeed = 3,
    LogLine = 4,
};
inline constexpr int ActivityCount = 5;

// Runs each activity whose on-condition holds once more than its interval has
// passed since it last ended (or the clock passed midnight). The 10 ms timer
// only calls Tick(); activities are registered once, so a tick allocates nothing.
class MonitoringCycle {
public:
    using Condition = std::function<bool()>;
    using Interval = std::function<double()>; // milliseconds
    using Action = std::function<void()>;

    // Registers the temperature reading itself (activity 1).
    MonitoringCycle(GeneralStuff& state, link::RegisterAccess& access, link::Clock& clock);

    // Registers (or replaces) an activity. Unregistered activities never run.
    // Both are safe inside a running activity, also for that activity itself
    // (a window unloaded by a link failure clears its own): a cleared
    // activity does not run again, not even later in the same tick.
    void SetActivity(Activity which, Condition on, Interval intervalMs, Action action);
    void ClearActivity(Activity which);

    void Tick();
    // Reads 0x00, 0x10, 0x01, 0x33, 0x30 and decodes them into the readings.
    void ReadTemperatures();
    // Told after every reading of the temperatures (the graph's alert
    // timeline judges its events by them); empty to stop.
    void SetReadingListener(std::function<void()> listener) {
        readingListener_ = std::move(listener);
    }

    double LastRun(Activity which) const { return lastRun_[static_cast<std::size_t>(which)]; }

private:
    struct Slot {
        Condition on;
        Interval intervalMs;
        Action action;
    };
    void Run(std::size_t index);

    GeneralStuff& state_;
    link::RegisterAccess& access_;
    link::Clock& clock_;
    std::array<Slot, ActivityCount> slots_{};
    std::array<double, ActivityCount> lastRun_{};
    // Counts the changes of each slot, so a running action knows whether its
    // slot was set or cleared while it ran.
    std::array<std::uint64_t, ActivityCount> changes_{};
    std::function<void()> readingListener_;
};

} // namespace qmt::core
