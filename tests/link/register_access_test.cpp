#include "link_rig.h"
#include "support/stub_bridge.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace qmt::test {
namespace {

using link::LinkError;

struct ListenerSpy final : link::RemoteSelectionListener {
    void RemoteSelectionChanged(bool remote2Selected) override { calls.push_back(remote2Selected); }
    std::vector<bool> calls;
};

struct AccessRig : LinkRig<StubBridge> {
    AccessRig() {
        bridge.AddChip(0x4C);
        usb.DeviceAddress = 0x4C;
        access.SetRemoteSelectionListener(&listener);
    }
    std::int16_t Write(std::int32_t reg, std::int32_t value) {
        return access.WriteRegister(0x4C, reg, value);
    }
    ListenerSpy listener;
};

TEST(RegisterAccess, WriteLimitsTheCallersValueToAByteAndRefusesNegatives) {
    AccessRig rig;
    std::int32_t value = 300;
    EXPECT_EQ(rig.access.WriteRegister(0x4C, 0x0B, value), 0);
    EXPECT_EQ(value, 255);
    EXPECT_EQ(rig.bridge.log.back().index, 255 * 256 + 0x0B);
    value = -1;
    EXPECT_EQ(rig.access.WriteRegister(0x4C, 0x09, value), link::RegisterAccess::WriteRefused);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(rig.bridge.log.size(), 1u);
    EXPECT_TRUE(rig.listener.calls.empty());
}

TEST(RegisterAccess, ConfigurationWriteRefreshesRangeAndChannel) {
    AccessRig rig;
    const std::tuple<std::int32_t, bool, bool> cases[] = {
        {0x0C, true, true}, {0x08, false, true}, {0xF3, false, false}};
    for (const auto& [value, extended, remote2] : cases) {
        ASSERT_EQ(rig.Write(0x09, value), 0);
        EXPECT_EQ(rig.state.ExtendedRange, extended) << value;
        EXPECT_EQ(rig.state.Remote2Selected, remote2) << value;
    }
    EXPECT_EQ(rig.listener.calls, (std::vector{true, true, false}));
    // Other writes, even at the configuration's read pointer, and failed ones leave it alone.
    rig.Write(0x03, 0x0C);
    rig.bridge.failAfterRequests = 0;
    EXPECT_THROW(rig.Write(0x09, 0x0C), link::LinkFailure);
    EXPECT_EQ(rig.errors.codes, std::vector{LinkError::Communications});
    EXPECT_FALSE(rig.state.Remote2Selected);
    EXPECT_EQ(rig.listener.calls.size(), 3u);
}

struct LimitSpy final : link::LimitWriteListener {
    void LimitRegisterWritten(std::int32_t reg) override { written.push_back(reg); }
    std::vector<std::int32_t> written;
};

TEST(RegisterAccess, EveryLimitWriteIsToldWhoeverMakesIt) {
    AccessRig rig;
    LimitSpy spy;
    rig.access.SetLimitWriteListener(&spy);
    // Limits at their write pointers (both bytes of a quarter-degree limit)
    // and the THERM hysteresis; not their read pointers, nor other registers.
    for (const std::int32_t reg : {0x0B, 0x0C, 0x0D, 0x0E, 0x13, 0x14, 0x19, 0x20, 0x21, 0x31, 0x32,
                                   0x36, 0x37, 0x39, 0x05, 0x07, 0x09, 0x0A, 0x02}) {
        rig.Write(reg, 0x10);
    }
    EXPECT_EQ(spy.written, (std::vector<std::int32_t>{0x0B, 0x0C, 0x0D, 0x0E, 0x13, 0x14, 0x19,
                                                      0x20, 0x21, 0x31, 0x32, 0x36, 0x37, 0x39}));
    // A refused write reaches neither the chip nor the listener.
    rig.Write(0x0D, -1);
    EXPECT_EQ(spy.written.size(), 14u);
}

} // namespace
} // namespace qmt::test
