#pragma once

#include "link/bridge.h"
#include "link/link_rig.h"
#include "model/reg_map.h"
#include "support/test_paths.h"
#include "tarnlink_emulator.h"

#include <gtest/gtest.h>
#include <string>

namespace qmt::test {

// The emulated board's chip behind the link, standing still in time: it
// switches the shared remote pointers by bit 3 of Configuration Reg 1 and
// ignores writes while bit 7 of Configuration Reg 2 locks them.
class EmulatedBridge final : public link::Bridge {
public:
    EmulatedBridge() : emulator_([] { return std::uint64_t{0}; }) {}
    std::int16_t LoadFirmWare(const char* /*path*/) override {
        return emulator_.LoadFirmWare(qmt::test::paths::Firmware);
    }
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override {
        return emulator_.VendorIORequest(request, value, index, arg4, arg5, buffer);
    }
    tarnlink::Emulator& emulator() { return emulator_; }

private:
    tarnlink::Emulator emulator_;
};

// A connected chip at 0x4C of a board described by `boardText`.
struct EmulatedChip : LinkRig<EmulatedBridge> {
    static constexpr std::int32_t Address = 0x4C;
    explicit EmulatedChip(const std::string& boardText) {
        std::string error;
        EXPECT_TRUE(bridge.emulator().LoadBoardText(boardText, error)) << error;
        EXPECT_EQ(bridge.LoadFirmWare(nullptr), tarnlink::FirmwareOk);
        std::uint8_t byte = 0;
        EXPECT_EQ(bridge.VendorIORequest(tarnlink::RequestConnect, 48, 51, 0, 0, &byte),
                  tarnlink::StatusOk);
        usb.DeviceAddress = Address;
        table.FillRegMap();
    }
    std::int32_t Read(std::int32_t reg) { return access.ReadRegister(Address, reg); }
    void Write(std::int32_t reg, std::int32_t value) { access.WriteRegister(Address, reg, value); }
    model::RegMapStuff table;
};

} // namespace qmt::test
