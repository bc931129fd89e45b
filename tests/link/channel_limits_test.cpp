#include "link/channel_limits.h"
#include "link_rig.h"
#include "support/stub_bridge.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace qmt::test {
namespace {

struct LimitsRig : LinkRig<StubBridge> {
    LimitsRig() {
        bridge.AddChip(0x4C);
        usb.DeviceAddress = 0x4C;
    }
    // Pointers of the reads (positive) and writes ("pointer=byte") since the last call.
    std::vector<std::string> Trace() {
        std::vector<std::string> trace;
        for (const BridgeCall& call : bridge.Calls(222)) {
            trace.push_back(call.arg4 == 0 ? std::to_string(call.index & 0xFF) + "=" +
                                                 std::to_string(call.index >> 8)
                                           : std::to_string(call.index));
        }
        bridge.log.clear();
        return trace;
    }
    std::map<std::int32_t, std::uint8_t>& chip() { return bridge.chips[0x4C]; }
};

TEST(ChannelLimits, ReadsEachChannelInItsOrderAndDecodesInTheCurrentRange) {
    LimitsRig rig;
    rig.chip() = {{0x06, 0x36}, {0x05, 0x55}, {0x20, 0x56}, {0x08, 0x59}, {0x14, 0x7F},
                  {0x07, 0x60}, {0x13, 0x80}, {0x19, 0x61}, {0x32, 0x10}, {0x37, 0xC0},
                  {0x31, 0x11}, {0x36, 0x40}, {0x39, 0x12}};
    link::ChannelLimits limits = link::ReadChannelLimits(rig.access, 0);
    EXPECT_EQ(rig.Trace(), (std::vector<std::string>{"6", "5", "32"}));
    EXPECT_DOUBLE_EQ(limits.low, 54.0);
    EXPECT_DOUBLE_EQ(limits.high, 85.0);
    EXPECT_DOUBLE_EQ(limits.therm, 86.0);

    limits = link::ReadChannelLimits(rig.access, 1);
    EXPECT_EQ(rig.Trace(), (std::vector<std::string>{"8", "20", "7", "19", "25"}));
    EXPECT_DOUBLE_EQ(limits.low, 89.25); // bits 5:0 of the low byte ignored
    EXPECT_DOUBLE_EQ(limits.high, 96.5);
    EXPECT_DOUBLE_EQ(limits.therm, 97.0);

    rig.state.ExtendedRange = true;
    limits = link::ReadChannelLimits(rig.access, 2);
    EXPECT_EQ(rig.Trace(), (std::vector<std::string>{"50", "55", "49", "54", "57"}));
    EXPECT_DOUBLE_EQ(limits.low, 16.75 - 64);
    EXPECT_DOUBLE_EQ(limits.high, 17.25 - 64);
    EXPECT_DOUBLE_EQ(limits.therm, 18.0 - 64);
}

TEST(ChannelLimits, WritesLowHighThermInOrderWithEachChannelsCodes) {
    LimitsRig rig;
    link::WriteChannelLimits(rig.access, 1, {50.9, 70.3, 85.0});
    EXPECT_EQ(rig.Trace(), (std::vector<std::string>{"14=50", "20=0", "13=70", "19=64", "25=85"}));
    link::WriteChannelLimits(rig.access, 2, {-0.25, 255.8, 300.0});
    EXPECT_EQ(rig.Trace(),
              (std::vector<std::string>{"50=0", "55=0", "49=255", "54=192", "57=255"}));
    // Local rounds halves to even; THERM takes the full value.
    link::WriteChannelLimits(rig.access, 0, {84.5, 85.5, 86.5});
    EXPECT_EQ(rig.Trace(), (std::vector<std::string>{"12=84", "11=86", "32=86"}));
    rig.state.ExtendedRange = true;
    link::WriteChannelLimits(rig.access, 0, {-10.0, 100.0, 200.0});
    EXPECT_EQ(rig.Trace(), (std::vector<std::string>{"12=54", "11=164", "32=255"}));
    EXPECT_TRUE(rig.errors.codes.empty());
}

TEST(ChannelLimits, StatusPollGivesTheByteOrNothingWithoutALinkError) {
    LimitsRig rig;
    rig.chip()[0x02] = 0x41;
    EXPECT_EQ(rig.access.PollStatusRegister(0x02), std::optional<std::uint8_t>{0x41});
    const BridgeCall poll = rig.bridge.log.back();
    EXPECT_EQ(std::tuple(poll.request, poll.value, poll.index, poll.arg4),
              std::tuple(std::uint16_t{220}, 0x4C, 0x02, std::int16_t{1}));
    rig.bridge.failAfterRequests = 1;
    EXPECT_EQ(rig.access.PollStatusRegister(0x23), std::nullopt);
    EXPECT_TRUE(rig.errors.codes.empty());
}

} // namespace
} // namespace qmt::test
