#pragma once

#include "link/clock.h"
#include "link/register_access.h"
#include "model/general_stuff.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
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
// passed since it last ended (or the clock passed midnight). The master
// timer's ticks lie 10 ms apart from its start, but it is armed only for the
// next tick at which an activity is due, so the ticks between cost nothing.
// Activities are registered once, so a tick allocates nothing.
class MonitoringCycle {
public:
    using Condition = std::function<bool()>;
    using Interval = std::function<double()>; // milliseconds
    using Action = std::function<void()>;
    // Arms the master timer for the given milliseconds; none: nothing will
    // be due, the timer stays off.
    using Alarm = std::function<void(std::optional<int> delayMs)>;
    static constexpr int TickMs = 10;

    // Registers the temperature reading itself (activity 1).
    MonitoringCycle(GeneralStuff& state, link::RegisterAccess& access, link::Clock& clock);

    // Registers (or replaces) an activity. Unregistered activities never run.
    // Both are safe inside a running activity, also for that activity itself
    // (a window unloaded by a link failure clears its own): a cleared
    // activity does not run again, not even later in the same tick.
    void SetActivity(Activity which, Condition on, Interval intervalMs, Action action);
    void ClearActivity(Activity which);

    // The master timer, which only ever runs Tick(). Starting it starts the
    // ticks 10 ms apart from now; stopping it disarms it.
    void SetAlarm(Alarm alarm) { alarm_ = std::move(alarm); }
    void Start();
    void Stop();
    // Arms the timer again: due after a change of an on-condition or interval
    // that SetActivity and ClearActivity do not see.
    void Reschedule();

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
    static bool IsOn(const Slot& slot);
    void Run(std::size_t index);
    void RunDueActivities();
    std::int64_t ClockMicroseconds();
    // The clock's time as microseconds after the anchor's midnight.
    std::int64_t SinceAnchorDay(std::int64_t usOfDay) const;

    GeneralStuff& state_;
    link::RegisterAccess& access_;
    link::Clock& clock_;
    std::array<Slot, ActivityCount> slots_{};
    std::array<double, ActivityCount> lastRun_{};
    // Counts the changes of each slot, so a running action knows whether its
    // slot was set or cleared while it ran.
    std::array<std::uint64_t, ActivityCount> changes_{};
    std::function<void()> readingListener_;
    Alarm alarm_;
    bool started_ = false;
    int ticksRunning_ = 0;
    // The tick the grid is counted from (time of day, microseconds), and the
    // armed tick after the anchor's midnight, past the next midnight if so.
    std::int64_t anchorUs_ = 0;
    std::optional<std::int64_t> armedUs_;
};

} // namespace qmt::core
