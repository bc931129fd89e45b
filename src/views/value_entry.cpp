#include "views/value_entry.h"

#include "model/number_text.h"

namespace qmt::views {

ValueEntry RegisterValueEntry(std::string_view text) {
    ValueEntry entry;
    if (!model::DecimalEntryToInt32(text, entry.value)) {
        entry.refusal = ValueRefusal::TooLarge;
    } else if (entry.value < 0) {
        entry.refusal = ValueRefusal::Negative;
    }
    return entry;
}

std::string RefusalReason(ValueRefusal refusal) {
    switch (refusal) {
    case ValueRefusal::Negative:
        return "the value is negative";
    case ValueRefusal::TooLarge:
        return "the value does not fit in 32 bits";
    case ValueRefusal::None:
        break;
    }
    return {};
}

} // namespace qmt::views
