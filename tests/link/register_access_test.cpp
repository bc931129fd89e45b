#include "link/channel_limits.h"
#include "link/limit_pair.h"
#include "link_rig.h"
#include "support/stub_bridge.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace qmt::test {
namespace {

using link::LinkError;
using Trace = std::vector<std::string>;

struct Spy final : link::RemoteSelectionListener, link::LimitWriteListener {
    void RemoteSelectionChanged(bool remote2Selected) override {
        remote2.push_back(remote2Selected);
    }
    void LimitRegisterWritten(std::int32_t reg) override { limits.push_back(reg); }
    std::vector<bool> remote2;
    std::vector<std::int32_t> limits;
};

struct AccessRig : LinkRig<StubBridge> {
    AccessRig() {
        bridge.AddChip(0x4C);
        usb.DeviceAddress = 0x4C;
        access.SetRemoteSelectionListener(&spy);
        access.SetLimitWriteListener(&spy);
    }
    std::int16_t Write(std::int32_t reg, std::int32_t value) {
        return access.WriteRegister(0x4C, reg, value);
    }
    // Register requests since the last call: reads as "pointer", writes as "pointer=byte".
    Trace Calls() {
        Trace trace;
        for (const BridgeCall& call : bridge.Calls(222)) {
            trace.push_back(call.arg4 == 0 ? std::to_string(call.index & 0xFF) + "=" +
                                                 std::to_string(call.index >> 8)
                                           : std::to_string(call.index));
        }
        bridge.log.clear();
        return trace;
    }
    Spy spy;
};

TEST(RegisterAccess, WritesClampToAByteTellTheirListenersAndFailuresChangeNothing) {
    AccessRig rig;
    std::int32_t value = 300;
    EXPECT_EQ(rig.access.WriteRegister(0x4C, 0x0B, value), 0);
    EXPECT_EQ(value, 255);
    value = -1;
    EXPECT_EQ(rig.access.WriteRegister(0x4C, 0x0D, value), link::RegisterAccess::WriteRefused);
    EXPECT_EQ(rig.Calls(), Trace{"11=255"});
    // A pointer beyond a byte would put its high bits into the value: refused.
    for (const std::int32_t reg : {0x121, 0x100, 0x3E8, -1}) {
        EXPECT_EQ(rig.Write(reg, 5), link::RegisterAccess::WriteRefused) << reg;
    }
    EXPECT_TRUE(rig.Calls().empty());

    // The configuration write refreshes the range and the selected channel.
    const std::tuple<std::int32_t, bool, bool> cases[] = {
        {0x0C, true, true}, {0x08, false, true}, {0xF3, false, false}};
    for (const auto& [config, extended, remote2] : cases) {
        ASSERT_EQ(rig.Write(0x09, config), 0);
        EXPECT_EQ(rig.state.ExtendedRange, extended) << config;
        EXPECT_EQ(rig.state.Remote2Selected, remote2) << config;
    }
    EXPECT_EQ(rig.spy.remote2, (std::vector{true, true, false}));

    // Limits at their write pointers (both bytes of a quarter-degree limit) and the THERM
    // hysteresis; not their read pointers, nor other registers.
    // Writing 0x0C elsewhere, even at the configuration's read pointer, selects nothing.
    for (const std::int32_t reg : {0x0C, 0x0D, 0x0E, 0x13, 0x14, 0x19, 0x20, 0x21, 0x31, 0x32, 0x36,
                                   0x37, 0x39, 0x03, 0x05, 0x07, 0x0A, 0x02}) {
        rig.Write(reg, 0x0C);
    }
    EXPECT_EQ(rig.spy.limits,
              (std::vector<std::int32_t>{0x0B, 0x0C, 0x0D, 0x0E, 0x13, 0x14, 0x19, 0x20, 0x21, 0x31,
                                         0x32, 0x36, 0x37, 0x39}));

    // A failed poll is no link error; a failed configuration write leaves the selection.
    rig.bridge.chips[0x4C][0x02] = 0x41;
    EXPECT_EQ(rig.access.PollStatusRegister(0x02), std::optional<std::uint8_t>{0x41});
    rig.bridge.failAfterRequests = 0;
    EXPECT_EQ(rig.access.PollStatusRegister(0x23), std::nullopt);
    EXPECT_TRUE(rig.errors.codes.empty());
    EXPECT_THROW(rig.Write(0x09, 0x0C), link::LinkFailure);
    EXPECT_EQ(rig.errors.codes, std::vector{LinkError::Communications});
    EXPECT_FALSE(rig.state.Remote2Selected);
    EXPECT_EQ(rig.spy.remote2.size(), 3u);
}

TEST(WriteLimitPair, WritesBothBytesHighFirstAndHoldsTheLimitInsideTheRange) {
    AccessRig rig;
    // extended, t, high byte, low byte
    const std::tuple<bool, double, int, int> cases[] = {
        {false, -0.25, 0x00, 0x00},  {false, 0.0, 0x00, 0x00},   {false, 127.75, 0x7F, 0xC0},
        {false, 255.75, 0xFF, 0xC0}, {false, 256.0, 0xFF, 0xC0}, {false, 50.9, 0x32, 0x00},
        {true, -0.25, 0x3F, 0xC0},   {true, 0.0, 0x40, 0x00},    {true, 127.75, 0xBF, 0xC0},
        {true, 191.75, 0xFF, 0xC0},  {true, 192.0, 0xFF, 0xC0},  {true, -64.25, 0x00, 0x00},
    };
    for (const auto& [extended, t, high, low] : cases) {
        rig.state.ExtendedRange = extended;
        EXPECT_EQ(link::WriteLimitPair(rig.access, {0x0D, 0x13}, t), 0) << t;
        EXPECT_EQ(rig.Calls(), (Trace{"13=" + std::to_string(high), "19=" + std::to_string(low)}))
            << t << (extended ? " extended" : " normal");
    }
    // Not a number writes neither byte.
    EXPECT_EQ(link::WriteLimitPair(rig.access, {0x31, 0x36}, std::nan("")),
              link::RegisterAccess::WriteRefused);
    EXPECT_TRUE(rig.Calls().empty());
}

TEST(ChannelLimits, EachChannelInItsOrderWithItsCodesInTheCurrentRange) {
    AccessRig rig;
    rig.bridge.chips[0x4C] = {{0x06, 0x36}, {0x05, 0x55}, {0x20, 0x56}, {0x08, 0x59},
                              {0x14, 0x7F}, {0x07, 0x60}, {0x13, 0x80}, {0x19, 0x61}};
    link::ChannelLimits limits = link::ReadChannelLimits(rig.access, 0);
    EXPECT_EQ(rig.Calls(), (Trace{"6", "5", "32"}));
    EXPECT_EQ(std::tuple(limits.low, limits.high, limits.therm), std::tuple(54.0, 85.0, 86.0));
    rig.state.ExtendedRange = true;
    limits = link::ReadChannelLimits(rig.access, 1);
    EXPECT_EQ(rig.Calls(), (Trace{"8", "20", "7", "19", "25"}));
    EXPECT_EQ(std::tuple(limits.low, limits.high, limits.therm), std::tuple(25.25, 32.5, 33.0));
    link::ReadChannelLimits(rig.access, 2);
    EXPECT_EQ(rig.Calls(), (Trace{"50", "55", "49", "54", "57"}));

    rig.state.ExtendedRange = false;
    link::WriteChannelLimits(rig.access, 1, {50.9, 70.3, 300.0});
    EXPECT_EQ(rig.Calls(), (Trace{"14=50", "20=0", "13=70", "19=64", "25=255"}));
    // Local rounds halves to even.
    link::WriteChannelLimits(rig.access, 0, {84.5, 85.5, 86.5});
    EXPECT_EQ(rig.Calls(), (Trace{"12=84", "11=86", "32=86"}));
    rig.state.ExtendedRange = true;
    link::WriteChannelLimits(rig.access, 2, {-10.0, 100.0, 200.0});
    EXPECT_EQ(rig.Calls(), (Trace{"50=54", "55=0", "49=164", "54=0", "57=255"}));
}

TEST(ChannelLimits, StoredLimitIsWhatTheWriteLeavesOnTheChipAtItsResolution) {
    using link::LimitKind;
    GeneralStuff state;
    // extended range, channel, limit, t, stored, resolution
    const std::tuple<bool, int, LimitKind, double, double, double> cases[] = {
        {false, 1, LimitKind::High, 67.73, 67.75, 0.25},
        {false, 1, LimitKind::Low, 50.9, 50.0, 0.25},
        {false, 2, LimitKind::High, 256.0, 255.75, 0.25},
        {false, 0, LimitKind::Low, 84.5, 84.0, 1.0},
        {false, 0, LimitKind::High, 85.5, 86.0, 1.0},
        {false, 1, LimitKind::Therm, 300.0, 255.0, 1.0},
        {false, 2, LimitKind::Therm, 70.3, 70.0, 1.0},
        {true, 1, LimitKind::High, 67.73, 67.75, 0.25},
        {true, 0, LimitKind::Therm, -64.4, -64.0, 1.0},
    };
    for (const auto& [extended, channel, kind, t, stored, resolution] : cases) {
        state.ExtendedRange = extended;
        EXPECT_EQ(link::StoredLimit(state, channel, kind, t), stored) << channel << " " << t;
        EXPECT_EQ(link::LimitResolution(channel, kind), resolution) << channel << " " << t;
    }
}

} // namespace
} // namespace qmt::test
