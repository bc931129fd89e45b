#include "files/settings_messages.h"

namespace qmt::files {

namespace {

std::string Registers(int count) {
    return std::to_string(count) + (count == 1 ? " register" : " registers");
}

} // namespace

std::string SavedText(int registers, std::string_view file) {
    return "Saved " + Registers(registers) + " to " + std::string(file);
}

std::string SaveFailedText(std::string_view file, std::string_view reason) {
    return "Save failed, nothing written to " + std::string(file) + ": " + std::string(reason);
}

std::string RecallReadFailedText(std::string_view file, std::string_view reason) {
    return "Recall failed, cannot read " + std::string(file) + ": " + std::string(reason);
}

std::string RecallText(const RecallResult& result, std::string_view file) {
    switch (result.end) {
    case RecallEnd::Closed:
        return "Recalled " + Registers(result.written) + " from " + std::string(file);
    case RecallEnd::NoBlock:
        return "Recall failed, " + std::string(file) + " has no \"{\": no register written";
    case RecallEnd::EndedInBlock:
        break;
    }
    return "Recall stopped, " + std::string(file) +
           " ends before \"}\": " + Registers(result.written) + " written";
}

} // namespace qmt::files
