#include "link/register_write.h"

#include "model/number_text.h"
#include "model/reg_map.h"

#include <optional>

namespace qmt::link {

namespace {

constexpr std::int32_t LockReadPointer = 0x24;
constexpr std::int32_t LockBit = 0x80;

// The read pointer behind a write pointer; none for a pointer that no
// register of the table is written at.
std::optional<std::int32_t> ReadPointerOf(const model::RegMapStuff& table, std::int32_t pointer) {
    for (int index = 1; index < model::RegMapSize; ++index) {
        const auto& entry = table.RegMap[static_cast<std::size_t>(index)];
        if (entry.WriteAddress != 0 && entry.WriteAddress == pointer) {
            return entry.ReadAddress;
        }
    }
    return std::nullopt;
}

std::string NotWrittenReason(RegisterAccess& access, std::int32_t held, std::int32_t written) {
    if (auto locked = LockRefusal(access); !locked.empty()) {
        return locked;
    }
    return "not written as given: the chip holds " + model::HexText(held) + "H, not " +
           model::HexText(written) + "H";
}

} // namespace

std::string LockRefusal(RegisterAccess& access) {
    if ((access.ReadRegister(access.usb().DeviceAddress, LockReadPointer) & LockBit) != 0) {
        return "not written: the chip is locked (bit 7 of Configuration Reg 2)";
    }
    return {};
}

std::string BadRegisterText(std::string_view given) {
    return "bad register '" + std::string(given) + "' (0 to 255)";
}

std::string BadValueText(std::string_view given) {
    return "bad value '" + std::string(given) + "' (0 to 255)";
}

CheckedWrite WriteCheckedRegister(RegisterAccess& access, std::int32_t pointer, std::int32_t value,
                                  bool readBack) {
    const auto address = access.usb().DeviceAddress;
    auto written = value;
    access.WriteRegister(address, pointer, written);
    model::RegMapStuff table;
    table.FillRegMap();
    const auto readPointer = ReadPointerOf(table, pointer);
    if (!readBack || !readPointer) {
        return {value, {}};
    }
    const std::int32_t held = access.ReadRegister(address, *readPointer);
    if (held != value) {
        return {held, NotWrittenReason(access, held, value)};
    }
    return {held, {}};
}

} // namespace qmt::link
