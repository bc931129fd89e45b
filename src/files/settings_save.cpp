#include "files/settings_save.h"

namespace qmt::files {

std::vector<SavedRegister> ReadSavedRegisters(const model::RegMapStuff& table,
                                              link::RegisterAccess& access, bool onlyChanged) {
    std::vector<SavedRegister> rows;
    for (const int index : table.SaveWalk()) {
        const model::RegMapEntry& entry = table.RegMap[static_cast<std::size_t>(index)];
        const std::int32_t value =
            access.ReadRegister(access.usb().DeviceAddress, entry.ReadAddress);
        if (!onlyChanged || value != entry.DefaultValue) {
            rows.push_back({entry.WriteAddress, value, entry.Description});
        }
    }
    return rows;
}

} // namespace qmt::files
