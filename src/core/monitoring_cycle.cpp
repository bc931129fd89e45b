#include "core/monitoring_cycle.h"

#include "link/temperature_reading.h"

#include <utility>

namespace qmt::core {

namespace {

// The program's clock is single precision: at this time of day its steps are
// a few milliseconds wide, and the due test below is meant to see exactly that.
float ClockNow(link::Clock& clock) {
    return static_cast<float>(clock.SecondsSinceMidnight());
}

bool IsDue(float now, double lastRun, double intervalMs) {
    const auto dueAfter = static_cast<float>(lastRun + intervalMs / 1000.0);
    // A clock below the last run has passed midnight since then.
    return now > dueAfter || now < lastRun;
}

} // namespace

MonitoringCycle::MonitoringCycle(GeneralStuff& state, link::RegisterAccess& access,
                                 link::Clock& clock)
    : state_(state), access_(access), clock_(clock) {
    SetActivity(
        Activity::ReadTemperatures, [this] { return state_.ContinuousReading; },
        [this] { return static_cast<double>(state_.ReadingInterval); },
        [this] { ReadTemperatures(); });
}

void MonitoringCycle::SetActivity(Activity which, Condition on, Interval intervalMs,
                                  Action action) {
    const auto index = static_cast<std::size_t>(which);
    slots_[index] = Slot{std::move(on), std::move(intervalMs), std::move(action)};
    ++changes_[index];
}

void MonitoringCycle::ClearActivity(Activity which) {
    const auto index = static_cast<std::size_t>(which);
    slots_[index] = Slot{};
    ++changes_[index];
}

void MonitoringCycle::Tick() {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const Slot& slot = slots_[i];
        if (!slot.on || !slot.intervalMs || !slot.action || !slot.on()) {
            continue;
        }
        if (!IsDue(ClockNow(clock_), lastRun_[i], slot.intervalMs())) {
            continue;
        }
        Run(i);
        // The period counts from the end of the action, so a slow read does not
        // make the next one follow at once.
        lastRun_[i] = ClockNow(clock_);
    }
}

void MonitoringCycle::Run(std::size_t index) {
    // The action runs from a local: if it clears or replaces its own slot,
    // the function (and what it captured) lives until it returns. It goes
    // back only if the slot was left alone, also when the action throws.
    struct PutBack {
        MonitoringCycle& cycle;
        std::size_t index;
        std::uint64_t changes;
        Action action;
        ~PutBack() {
            if (cycle.changes_[index] == changes) {
                cycle.slots_[index].action = std::move(action);
            }
        }
    } running{*this, index, changes_[index], std::move(slots_[index].action)};
    running.action();
}

void MonitoringCycle::ReadTemperatures() {
    link::ReadTemperatures(access_);
    if (readingListener_) {
        readingListener_();
    }
}

} // namespace qmt::core
