#pragma once

#include <cstdint>
#include <optional>

namespace qmt::core {

inline constexpr std::int64_t MicrosecondsPerDay = 86'400'000'000;

// An activity is due when the clock, in single precision, has passed its last
// run plus its interval (that sum rounded to single precision too), or has
// fallen below its last run (passed midnight since then).
bool IsDue(float now, double lastRun, double intervalMs);

// The first tick from tick `first` on, of ticks tickUs apart from anchorUs
// (time of day in microseconds; the clock falls back to 0 at midnight), at
// which IsDue holds for the clock read at that tick; none when it never
// will. tickUs must divide a day.
std::optional<std::int64_t> FirstDueTick(std::int64_t anchorUs, std::int64_t tickUs,
                                         std::int64_t first, double lastRun, double intervalMs);

} // namespace qmt::core
