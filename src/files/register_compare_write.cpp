#include "files/register_compare_write.h"

#include <algorithm>
#include <array>

namespace qmt::files {

namespace {

constexpr std::int32_t ConfigurationReadPointer = 0x03;
constexpr std::int32_t LockReadPointer = 0x24;
constexpr std::int32_t LockBit = 0x80;
// The offsets calibrate rather than set alarms: the lock leaves them writable.
constexpr std::array<std::int32_t, 4> UnlockedWritePointers = {0x11, 0x12, 0x34, 0x35};

bool Lockable(std::int32_t writeAddress) {
    return std::find(UnlockedWritePointers.begin(), UnlockedWritePointers.end(), writeAddress) ==
           UnlockedWritePointers.end();
}

std::string Registers(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " register" : " registers");
}

std::string Verb(std::size_t count) {
    return count == 1 ? " is" : " are";
}

} // namespace

WritePlan PlanChipWrites(const model::RegMapStuff& table, const std::vector<CompareRow>& rows,
                         const std::vector<std::size_t>& selected, link::RegisterAccess& access) {
    const std::int32_t configuration =
        access.ReadRegister(access.usb().DeviceAddress, ConfigurationReadPointer);
    return PlanFileWrites(table, rows, selected, configuration);
}

WriteOutcome WritePlanned(const WritePlan& plan, const std::vector<CompareRow>& rows,
                          link::RegisterAccess& access) {
    const std::int32_t chip = access.usb().DeviceAddress;
    WriteOutcome outcome;
    outcome.planned = plan.writes.size();
    std::optional<bool> locked; // read at the first write that did not take
    for (const FileWrite& write : plan.writes) {
        std::int32_t value = write.value;
        access.WriteRegister(chip, write.address, value);
        if (access.ReadRegister(chip, rows.at(write.row).readAddress) == value) {
            ++outcome.taken;
            continue;
        }
        if (!locked) {
            locked = (access.ReadRegister(chip, LockReadPointer) & LockBit) != 0;
        }
        ++(*locked && Lockable(write.address) ? outcome.locked : outcome.notTaken);
    }
    return outcome;
}

std::string WriteReport(const WriteOutcome& outcome, const std::vector<std::string>& refusals,
                        const std::string& fileName) {
    std::string text;
    if (outcome.taken == outcome.planned) {
        text = "Wrote " + Registers(outcome.planned) + " from " + fileName;
    } else {
        text = std::to_string(outcome.taken) + " of " + Registers(outcome.planned) +
               " written from " + fileName;
        if (outcome.locked > 0) {
            text += "; " + std::to_string(outcome.locked) + Verb(outcome.locked) + " locked";
        }
        if (outcome.notTaken > 0) {
            text += "; " + std::to_string(outcome.notTaken) + " did not take";
        }
    }
    for (std::size_t i = 0; i < refusals.size(); ++i) {
        text += (i == 0 ? "; not written: " : "; ") + refusals[i];
    }
    return text;
}

} // namespace qmt::files
