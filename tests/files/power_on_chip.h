#pragma once

#include "link/link_rig.h"
#include "model/reg_map.h"
#include "support/stub_bridge.h"

namespace qmt::test {

// A connected chip at 0x4C whose saved registers hold their power-on values,
// for the tests of saving, comparing and exporting settings.
struct PowerOnChip : LinkRig<StubBridge> {
    static constexpr std::int32_t Address = 0x4C;
    PowerOnChip() {
        table.FillRegMap();
        bridge.AddChip(Address);
        usb.DeviceAddress = Address;
        for (const int index : table.SaveWalk()) {
            const auto& entry = table.RegMap[static_cast<std::size_t>(index)];
            chip()[entry.ReadAddress] = static_cast<std::uint8_t>(entry.DefaultValue);
        }
    }
    std::map<std::int32_t, std::uint8_t>& chip() { return bridge.chips[Address]; }
    model::RegMapStuff table;
};

} // namespace qmt::test
