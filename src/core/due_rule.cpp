#include "core/due_rule.h"

#include <algorithm>

namespace qmt::core {

namespace {

constexpr double MicrosecondsPerSecond = 1e6;

} // namespace

bool IsDue(float now, double lastRun, double intervalMs) {
    const auto dueAfter = static_cast<float>(lastRun + intervalMs / 1000.0);
    // A clock below the last run has passed midnight since then.
    return now > dueAfter || now < lastRun;
}

std::optional<std::int64_t> FirstDueTick(std::int64_t anchorUs, std::int64_t tickUs,
                                         std::int64_t first, double lastRun, double intervalMs) {
    // The clock as the tick reads it: whole microseconds divided exactly as
    // a clock counting them gives its seconds.
    const auto due = [&](std::int64_t tick) {
        const std::int64_t usOfDay = (anchorUs + tick * tickUs) % MicrosecondsPerDay;
        const double seconds = static_cast<double>(usOfDay) / MicrosecondsPerSecond;
        return IsDue(static_cast<float>(seconds), lastRun, intervalMs);
    };
    // Between two midnights the clock only grows: once not due at the first
    // tick, the clock stays at or above the last run, so the rule turns true
    // at one tick and stays so. The rest of this day and one whole day are
    // enough: every later day has the ticks of that whole day again.
    std::int64_t low = first;
    for (int day = 0; day < 2; ++day) {
        const std::int64_t usOfDay = (anchorUs + low * tickUs) % MicrosecondsPerDay;
        const std::int64_t afterMidnight =
            low + (MicrosecondsPerDay - usOfDay + tickUs - 1) / tickUs;
        if (due(low)) {
            return low;
        }
        // The due tick is usually a few ticks away: steps that double find
        // it in a handful of tests, where halving the day would take twenty.
        const std::int64_t last = afterMidnight - 1;
        std::optional<std::int64_t> high;
        for (std::int64_t step = 1; low < last; step *= 2) {
            const std::int64_t next = std::min(low + step, last);
            if (due(next)) {
                high = next;
                break;
            }
            low = next;
        }
        if (high) {
            // Not due at low, due at high.
            while (*high - low > 1) {
                const std::int64_t middle = low + (*high - low) / 2;
                if (due(middle)) {
                    high = middle;
                } else {
                    low = middle;
                }
            }
            return high;
        }
        low = afterMidnight;
    }
    return std::nullopt;
}

} // namespace qmt::core
