#include "views/interval_entry.h"

#include "model/number_text.h"

#include <algorithm>
#include <limits>

namespace qmt::views {

std::int32_t MaxInterval(IntervalField field) {
    return field == IntervalField::Graphing ? std::numeric_limits<std::int16_t>::max()
                                            : std::numeric_limits<std::int32_t>::max();
}

std::optional<std::int32_t> ParseInterval(std::string_view text, IntervalField field) {
    std::int32_t value = 0;
    if (!model::DecimalEntryToInt32(text, value) || value < 0 || value > MaxInterval(field)) {
        return std::nullopt;
    }
    return value;
}

std::string IntervalRejectedMessage(IntervalField field) {
    const char* name = "Reading";
    if (field == IntervalField::Graphing) {
        name = "Graphing";
    } else if (field == IntervalField::Logging) {
        name = "Logging";
    }
    return std::string(name) + " interval must be 0 to " + model::DecimalText(MaxInterval(field)) +
           " ms";
}

std::int32_t StepInterval(std::string_view text, int direction, StepRange range) {
    // Work in double so that a huge or infinite entry clamps instead of overflowing.
    const double current = model::RoundHalfEven(model::DecimalEntry(text));
    const double stepped = current + direction * static_cast<double>(range.step);
    const double clamped =
        std::clamp(stepped, static_cast<double>(range.min), static_cast<double>(range.max));
    return static_cast<std::int32_t>(clamped);
}

} // namespace qmt::views
