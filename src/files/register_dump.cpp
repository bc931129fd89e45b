#include "files/register_dump.h"

#include "files/register_compare.h"
#include "model/reg_map.h"

namespace qmt::files {

namespace {

constexpr std::int32_t ConfigurationReadPointer = 0x03;
constexpr std::int32_t Remote2SelectedMask = 0x08;

} // namespace

RegisterDump DumpRegisters(link::RegisterAccess& access) {
    const auto address = access.usb().DeviceAddress;
    RegisterDump dump;
    dump.remote2 =
        (access.ReadRegister(address, ConfigurationReadPointer) & Remote2SelectedMask) != 0;
    model::RegMapStuff table;
    table.FillRegMap();
    for (int index = 1; index < model::RegMapSize; ++index) {
        const auto channel = SharedRowChannel(table, index);
        if (channel && *channel != dump.remote2) {
            continue;
        }
        const auto& entry = table.RegMap[static_cast<std::size_t>(index)];
        dump.rows.push_back(
            {entry.ReadAddress, access.ReadRegister(address, entry.ReadAddress), entry.Name});
    }
    return dump;
}

} // namespace qmt::files
