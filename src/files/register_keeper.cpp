#include "files/register_keeper.h"

#include "files/register_script.h"
#include "files/settings_save.h"

namespace qmt::files {

namespace {

constexpr std::int32_t ConfigurationReadPointer = 0x03;
constexpr std::int32_t ConfigurationWritePointer = 0x09;
constexpr std::int32_t Remote2Bit = 0x08;
const std::string LinkLost = "the link to the board was lost";

} // namespace

void SettingsKeeper::Keep() {
    kept_ = ReadRows();
}

std::vector<CompareRow> SettingsKeeper::ReadRows() {
    std::vector<CompareRow> rows =
        BuildCompareRows(table_, ReadSavedRegisters(table_, access_, false), nullptr);
    if (!Remote2Shown(rows)) {
        return rows; // Remote 2's shared rows are its own registers
    }
    const std::int32_t chip = access_.usb().DeviceAddress;
    const std::int32_t config = access_.ReadRegister(chip, ConfigurationReadPointer);
    std::int32_t remote1 = config & ~Remote2Bit;
    access_.WriteRegister(chip, ConfigurationWritePointer, remote1);
    const std::vector<CompareRow> shown =
        BuildCompareRows(table_, ReadSavedRegisters(table_, access_, false), nullptr);
    std::int32_t back = config;
    access_.WriteRegister(chip, ConfigurationWritePointer, back);
    for (std::size_t i = 0; i < rows.size() && i < shown.size(); ++i) {
        if (rows[i].otherChannel) {
            rows[i].chip = shown[i].chip;
            rows[i].otherChannel = false;
        }
    }
    return rows;
}

std::vector<std::size_t> SettingsKeeper::Changed(const std::vector<CompareRow>& now) const {
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < kept_.size() && i < now.size(); ++i) {
        if (!kept_[i].otherChannel && kept_[i].writeAddress != 0 && kept_[i].chip != now[i].chip) {
            changed.push_back(i);
        }
    }
    return changed;
}

void SettingsKeeper::WriteBack(const std::vector<CompareRow>& now,
                               const std::vector<std::size_t>& changed) {
    std::vector<CompareRow> rows;
    bool shared = false;
    for (const std::size_t i : changed) {
        rows.push_back(kept_[i]);
        rows.back().file = kept_[i].chip;
        shared = shared || SharedRowChannel(table_, kept_[i].index).has_value();
    }
    // The plan selects the channel of the shared rows through Configuration
    // Reg 1 and ends with it as kept.
    for (std::size_t i = 0; shared && i < kept_.size(); ++i) {
        if (kept_[i].writeAddress == ConfigurationWritePointer && now[i].chip == kept_[i].chip) {
            rows.insert(rows.begin(), kept_[i]);
            rows.front().file = kept_[i].chip;
        }
    }
    const std::int32_t chip = access_.usb().DeviceAddress;
    for (const RegisterWrite& write : PlanSettingsWrites(table_, rows, ScriptValues::File).writes) {
        std::int32_t value = write.value.value_or(0);
        access_.WriteRegister(chip, write.pointer, value);
    }
}

std::vector<std::string> SettingsKeeper::Restore() {
    std::vector<std::string> lines;
    std::vector<std::size_t> changed;
    bool read = false;
    try {
        const std::vector<CompareRow> now = ReadRows();
        changed = Changed(now);
        read = true;
        if (!changed.empty()) {
            WriteBack(now, changed);
        }
        const std::vector<CompareRow> after = ReadRows();
        for (const std::size_t i : Changed(after)) {
            lines.push_back(kept_[i].name + ": " + ByteText(kept_[i].chip.value_or(0)) +
                            " before the check, " + ByteText(after[i].chip.value_or(0)) + " now");
        }
    } catch (const link::LinkFailure&) {
        lines.clear();
        if (!read) {
            lines.push_back("no register could be read back: " + LinkLost);
        }
        for (const std::size_t i : changed) {
            lines.push_back(kept_[i].name + ": not put back to " +
                            ByteText(kept_[i].chip.value_or(0)) + ", " + LinkLost);
        }
        if (read && changed.empty()) {
            lines.push_back("the registers could not be read back: " + LinkLost);
        }
    }
    return lines;
}

} // namespace qmt::files
