#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The typed intervals of the options window, without the window: what a text
// means, which values its field takes, and what the up-down arrows make of it.
namespace qmt::views {

enum class IntervalField { Reading, Graphing, Logging };

// Largest interval the field holds; the graphing interval is 16-bit.
std::int32_t MaxInterval(IntervalField field);

// The decimal entry of the text rounded half-to-even ("250ms" -> 250,
// "1 000" -> 1000, "" -> 0, "12.5" -> 12), or nothing when the value is
// negative or does not fit the field. A negative interval would make its
// activity run at every tick, which nobody means to type.
std::optional<std::int32_t> ParseInterval(std::string_view text, IntervalField field);

// Status-bar text for a rejected entry, e.g. "Graphing interval must be 0 to 32767 ms".
std::string IntervalRejectedMessage(IntervalField field);

// What one click of an up-down arrow does to the number in its box.
inline constexpr std::int32_t IntervalStep = 10;
struct StepRange {
    std::int32_t min = 0;
    std::int32_t max = 0;
    std::int32_t step = IntervalStep;
};
inline constexpr StepRange ReadingStepRange{10, 10000};
inline constexpr StepRange GraphingStepRange{10, 10000};
inline constexpr StepRange LoggingStepRange{50, 10000};

// The number in the text moved by one step up (direction +1) or down (-1),
// kept inside the range; a box without a number counts as 0.
std::int32_t StepInterval(std::string_view text, int direction, StepRange range);

} // namespace qmt::views
