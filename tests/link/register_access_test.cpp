#include "link_rig.h"
#include "support/stub_bridge.h"

#include <gtest/gtest.h>
#include <vector>

namespace qmt::test {
namespace {

using link::LinkError;
using link::LinkFailure;

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
    std::int16_t Write(std::int32_t reg, std::int32_t value) {
        return access.WriteRegister(0x4C, reg, value);
    }
    ListenerSpy listener;
};

TEST(RegisterAccess, WriteLimitsTheValueToAByteAndRefusesNegatives) {
    AccessRig rig;
    std::int32_t value = 300;
    EXPECT_EQ(rig.access.WriteRegister(0x4C, 0x0B, value), 0);
    EXPECT_EQ(value, 255);
    EXPECT_EQ(rig.bridge.log.back().index, 255 * 256 + 0x0B);

    value = -1;
    EXPECT_EQ(rig.access.WriteRegister(0x4C, 0x09, value), link::RegisterAccess::WriteRefused);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(rig.bridge.log.size(), 1u);
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
        ASSERT_EQ(rig.Write(0x09, c.value), 0);
        EXPECT_EQ(rig.state.ExtendedRange, c.extended) << c.value;
        EXPECT_EQ(rig.state.Remote2Selected, c.remote2) << c.value;
        EXPECT_EQ(rig.listener.calls.back(), c.remote2);
    }
    EXPECT_EQ(rig.listener.calls.size(), 4u);

    // Other writes, even at the configuration's read pointer, leave the selection alone.
    rig.Write(0x03, 0x0C);
    rig.Write(0x0A, 0x0C);
    EXPECT_FALSE(rig.state.Remote2Selected);
    EXPECT_EQ(rig.listener.calls.size(), 4u);
}

TEST(RegisterAccess, FailedRequestsReportCommunications) {
    AccessRig rig;
    rig.bridge.chips[0x4C][0x02] = 0x44;
    EXPECT_EQ(rig.access.ReadRegister(0x4C, 0x02), 0x44);
    rig.bridge.failAfterRequests = 1;
    // The status poll does not look at the status: the byte left in the buffer.
    EXPECT_EQ(rig.access.PollStatusRegister(0x23), 0x44);
    EXPECT_TRUE(rig.errors.codes.empty());
    EXPECT_THROW(rig.access.ReadRegister(0x4C, 0x02), LinkFailure);
    EXPECT_THROW(rig.Write(0x09, 0x08), LinkFailure);
    EXPECT_EQ(rig.errors.codes,
              (std::vector{LinkError::Communications, LinkError::Communications}));
    EXPECT_TRUE(rig.listener.calls.empty());
}

} // namespace
} // namespace qmt::test
