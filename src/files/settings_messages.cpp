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

std::string BlockFaultText(std::string_view file, RecallEnd end, int line,
                           std::string_view longNumber) {
    const std::string name(file);
    const std::string number = std::to_string(line);
    switch (end) {
    case RecallEnd::NoBlock:
        return name + " has no \"{\"";
    case RecallEnd::EndedInBlock:
        return name + " ends before \"}\" (line " + number + ")";
    case RecallEnd::BadLine:
        if (!longNumber.empty()) {
            return name + " line " + number + " holds " + std::string(longNumber) +
                   ", more than two hexadecimal digits";
        }
        return name + " line " + number + " is no register line";
    case RecallEnd::Closed:
        break;
    }
    return name + " is complete";
}

std::string RecallText(const RecallResult& result, std::string_view file) {
    const SettingsBlock& block = result.block;
    if (block.end == RecallEnd::Closed) {
        return "Recalled " + Registers(result.written) + " from " + std::string(file);
    }
    return "Recall failed, " + BlockFaultText(file, block.end, block.line, block.longNumber) +
           ": no register written";
}

} // namespace qmt::files
