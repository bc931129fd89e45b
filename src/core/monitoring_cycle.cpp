#include "core/monitoring_cycle.h"

#include "core/due_rule.h"
#include "link/temperature_reading.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace qmt::core {

namespace {

// The program's clock is single precision: at this time of day its steps are
// a few milliseconds wide, and the due test below is meant to see exactly that.
float ClockNow(link::Clock& clock) {
    return static_cast<float>(clock.SecondsSinceMidnight());
}

constexpr std::int64_t TickUs = MonitoringCycle::TickMs * 1000;
constexpr std::int64_t UsPerMs = 1000;

int CeilMs(std::int64_t us) {
    return static_cast<int>((us + UsPerMs - 1) / UsPerMs);
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
    Reschedule();
}

void MonitoringCycle::ClearActivity(Activity which) {
    const auto index = static_cast<std::size_t>(which);
    slots_[index] = Slot{};
    ++changes_[index];
    Reschedule();
}

void MonitoringCycle::Start() {
    started_ = true;
    anchorUs_ = ClockMicroseconds();
    Reschedule();
}

void MonitoringCycle::Stop() {
    started_ = false;
    armedUs_.reset();
    if (alarm_) {
        alarm_(std::nullopt);
    }
}

void MonitoringCycle::Reschedule() {
    // A running tick arms the timer when it ends.
    if (!started_ || ticksRunning_ > 0) {
        return;
    }
    const std::int64_t now = SinceAnchorDay(ClockMicroseconds());
    if (now < anchorUs_) {
        // The clock was set back: the ticks count from now.
        anchorUs_ = now;
    }
    // The first tick after now: one that came at now has been.
    const std::int64_t first = (now - anchorUs_) / TickUs + 1;
    std::optional<std::int64_t> next;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const Slot& slot = slots_[i];
        if (!IsOn(slot)) {
            continue;
        }
        const std::optional<std::int64_t> due =
            FirstDueTick(anchorUs_, TickUs, first, lastRun_[i], slot.intervalMs());
        if (due && (!next || *due < *next)) {
            next = due;
        }
    }
    armedUs_.reset();
    if (next) {
        armedUs_ = anchorUs_ + *next * TickUs;
    }
    if (alarm_) {
        alarm_(next ? std::optional<int>(CeilMs(*armedUs_ - now)) : std::nullopt);
    }
}

void MonitoringCycle::Tick() {
    // The tick belongs to the armed one when it comes within a tick of it:
    // a timer that fires late does not shift the ticks after it.
    const std::int64_t now = SinceAnchorDay(ClockMicroseconds());
    const bool armedTick = armedUs_ && now >= *armedUs_ && now - *armedUs_ < TickUs;
    anchorUs_ = (armedTick ? *armedUs_ : now) % MicrosecondsPerDay;
    ++ticksRunning_;
    try {
        RunDueActivities();
    } catch (...) {
        --ticksRunning_;
        Reschedule();
        throw;
    }
    --ticksRunning_;
    Reschedule();
}

void MonitoringCycle::RunDueActivities() {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const Slot& slot = slots_[i];
        if (!IsOn(slot) || !IsDue(ClockNow(clock_), lastRun_[i], slot.intervalMs())) {
            continue;
        }
        Run(i);
        // The period counts from the end of the action, so a slow read does not
        // make the next one follow at once.
        lastRun_[i] = ClockNow(clock_);
    }
}

bool MonitoringCycle::IsOn(const Slot& slot) {
    return slot.on && slot.intervalMs && slot.action && slot.on();
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

std::int64_t MonitoringCycle::ClockMicroseconds() {
    constexpr double UsPerSecond = 1e6;
    return std::llround(clock_.SecondsSinceMidnight() * UsPerSecond) % MicrosecondsPerDay;
}

std::int64_t MonitoringCycle::SinceAnchorDay(std::int64_t usOfDay) const {
    // Far below the anchor is the next day.
    return usOfDay < anchorUs_ - MicrosecondsPerDay / 2 ? usOfDay + MicrosecondsPerDay : usOfDay;
}

void MonitoringCycle::ReadTemperatures() {
    link::ReadTemperatures(access_);
    if (readingListener_) {
        readingListener_();
    }
}

} // namespace qmt::core
