#include "link_rig.h"
#include "support/stub_bridge.h"

#include <gtest/gtest.h>
#include <vector>

namespace qmt::test {
namespace {

using link::LinkError;
using link::LinkFailure;

constexpr std::uint16_t Register = 222;
constexpr std::uint16_t StatusPoll = 220;

class ListenerSpy final : public link::RemoteSelectionListener {
public:
    void RemoteSelectionChanged(bool remote2Selected) override { calls.push_back(remote2Selected); }
    std::vector<bool> calls;
};

struct AccessRig : LinkRig<StubBridge> {
    AccessRig() {
        bridge.AddChip(0x4C);
        usb.DeviceAddress = 0x4C;
        access.SetRemoteSelectionListener(&listener);
    }
    ListenerSpy listener;
};

TEST(RegisterAccess, ReadSendsTheRegisterRequestAndReturnsTheByte) {
    AccessRig rig;
    rig.bridge.chips[0x4C][0x10] = 0xC0;
    EXPECT_EQ(rig.access.ReadRegister(0x4C, 0x10), 0xC0);
    const auto call = rig.bridge.log.back();
    EXPECT_EQ(call.request, Register);
    EXPECT_EQ(call.value, 0x4C);
    EXPECT_EQ(call.index, 0x10);
    EXPECT_EQ(call.arg4, 1);
    EXPECT_EQ(call.arg5, 1);

    rig.bridge.failAfterRequests = 1;
    EXPECT_THROW(rig.access.ReadRegister(0x4C, 0x10), LinkFailure);
    EXPECT_EQ(rig.errors.codes, std::vector{LinkError::Communications});
}

TEST(RegisterAccess, WriteLimitsTheValueToAByte) {
    AccessRig rig;
    std::int32_t value = 300;
    EXPECT_EQ(rig.access.WriteRegister(0x4C, 0x0B, value), 0);
    EXPECT_EQ(value, 255);
    const auto call = rig.bridge.log.back();
    EXPECT_EQ(call.request, Register);
    EXPECT_EQ(call.value, 0x4C);
    EXPECT_EQ(call.index, 255 * 256 + 0x0B);
    EXPECT_EQ(call.arg4, 0);
    EXPECT_EQ(call.arg5, 0);
    EXPECT_EQ(call.bufferOnEntry, 0);
    EXPECT_EQ(rig.bridge.chips[0x4C][0x0B], 255);

    value = 0;
    rig.access.WriteRegister(0x4C, 0x0B, value);
    EXPECT_EQ(rig.bridge.log.back().index, 0x0B);
}

TEST(RegisterAccess, NegativeValueIsRefusedBeforeTheBridge) {
    AccessRig rig;
    std::int32_t value = -1;
    EXPECT_EQ(rig.access.WriteRegister(0x4C, 0x09, value), link::RegisterAccess::WriteRefused);
    EXPECT_EQ(value, -1);
    EXPECT_TRUE(rig.bridge.log.empty());
    EXPECT_TRUE(rig.errors.codes.empty());
    EXPECT_TRUE(rig.listener.calls.empty());
}

TEST(RegisterAccess, ConfigurationWriteRefreshesRangeAndChannel) {
    AccessRig rig;
    struct Case {
        std::int32_t value;
        bool extended;
        bool remote2;
    };
    for (const auto& c : {Case{0x0C, true, true}, Case{0x08, false, true}, Case{0x04, true, false},
                          Case{0xF3, false, false}}) {
        std::int32_t value = c.value;
        ASSERT_EQ(rig.access.WriteRegister(0x4C, 0x09, value), 0);
        EXPECT_EQ(rig.state.ExtendedRange, c.extended) << c.value;
        EXPECT_EQ(rig.state.Remote2Selected, c.remote2) << c.value;
        EXPECT_EQ(rig.listener.calls.back(), c.remote2);
        // The configuration is read back at its read pointer after the write.
        const auto read = rig.bridge.log.back();
        EXPECT_EQ(read.index, 0x03);
        EXPECT_EQ(read.arg4, 1);
    }
    EXPECT_EQ(rig.listener.calls.size(), 4u);
}

TEST(RegisterAccess, OtherWritesLeaveTheSelectionAlone) {
    AccessRig rig;
    rig.state.ExtendedRange = true;
    for (const std::int32_t reg : {0x03, 0x0A}) {
        std::int32_t value = 0x08;
        rig.access.WriteRegister(0x4C, reg, value);
    }
    EXPECT_EQ(rig.bridge.log.size(), 2u);
    EXPECT_TRUE(rig.state.ExtendedRange);
    EXPECT_FALSE(rig.state.Remote2Selected);
    EXPECT_TRUE(rig.listener.calls.empty());
}

TEST(RegisterAccess, FailedWriteReportsAndSkipsTheSelection) {
    AccessRig rig;
    rig.bridge.failAfterRequests = 0;
    std::int32_t value = 0x08;
    EXPECT_THROW(rig.access.WriteRegister(0x4C, 0x09, value), LinkFailure);
    EXPECT_EQ(rig.errors.codes, std::vector{LinkError::Communications});
    EXPECT_EQ(rig.bridge.log.size(), 1u);
    EXPECT_TRUE(rig.listener.calls.empty());
}

TEST(RegisterAccess, StatusPollIgnoresTheStatus) {
    AccessRig rig;
    rig.bridge.chips[0x4C][0x02] = 0x44;
    EXPECT_EQ(rig.access.PollStatusRegister(0x02), 0x44);
    const auto call = rig.bridge.log.back();
    EXPECT_EQ(call.request, StatusPoll);
    EXPECT_EQ(call.value, 0x4C);
    EXPECT_EQ(call.index, 0x02);
    EXPECT_EQ(call.arg4, 1);
    EXPECT_EQ(call.arg5, 1);

    rig.bridge.failAfterRequests = 1;
    EXPECT_EQ(rig.access.PollStatusRegister(0x23), 0x44); // the byte left in the buffer
    EXPECT_TRUE(rig.errors.codes.empty());
}

TEST(LinkError, MessagesAreTheProgramsOwn) {
    EXPECT_EQ(link::LinkErrorMessage(LinkError::FirmwareDownload),
              "Firmware failed to download - Check USB connections");
    EXPECT_EQ(link::LinkErrorMessage(LinkError::InitialConnection),
              "Initial Connection Failed - Check USB connections");
    EXPECT_EQ(link::LinkErrorMessage(LinkError::Communications),
              "Communications Interrupted - Check USB connections");
    EXPECT_STREQ(LinkFailure(LinkError::Communications).what(),
                 "Communications Interrupted - Check USB connections");
}

} // namespace
} // namespace qmt::test
