#include "link/limit_pair.h"
#include "link_rig.h"
#include "support/stub_bridge.h"

#include <cmath>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace qmt::test {
namespace {

struct PairRig : LinkRig<StubBridge> {
    PairRig() {
        bridge.AddChip(0x4C);
        usb.DeviceAddress = 0x4C;
    }
    // (pointer, byte) of every write since the last call.
    std::vector<std::pair<int, int>> Writes() {
        std::vector<std::pair<int, int>> writes;
        for (const BridgeCall& call : bridge.Calls(222)) {
            if (call.arg4 == 0) {
                writes.emplace_back(call.index & 0xFF, call.index >> 8);
            }
        }
        bridge.log.clear();
        return writes;
    }
};

TEST(WriteLimitPair, WritesBothBytesHighFirstAndHoldsTheLimitInsideTheRange) {
    PairRig rig;
    // extended, t, high byte, low byte
    const std::tuple<bool, double, int, int> cases[] = {
        {false, -0.25, 0x00, 0x00},  {false, 0.0, 0x00, 0x00},   {false, 127.75, 0x7F, 0xC0},
        {false, 255.75, 0xFF, 0xC0}, {false, 256.0, 0xFF, 0xC0}, {false, 1e9, 0xFF, 0xC0},
        {false, -1e9, 0x00, 0x00},   {false, 50.9, 0x32, 0x00},  {true, -0.25, 0x3F, 0xC0},
        {true, 0.0, 0x40, 0x00},     {true, 127.75, 0xBF, 0xC0}, {true, 191.75, 0xFF, 0xC0},
        {true, 192.0, 0xFF, 0xC0},   {true, 300.3, 0xFF, 0xC0},  {true, -64.25, 0x00, 0x00},
        {true, -10.25, 0x35, 0xC0},
    };
    for (const auto& [extended, t, high, low] : cases) {
        rig.state.ExtendedRange = extended;
        EXPECT_EQ(link::WriteLimitPair(rig.access, {0x0D, 0x13}, t), 0) << t;
        const std::vector<std::pair<int, int>> expected{{0x0D, high}, {0x13, low}};
        EXPECT_EQ(rig.Writes(), expected) << t << (extended ? " extended" : " normal");
    }
    // Not a number writes neither byte.
    EXPECT_EQ(link::WriteLimitPair(rig.access, {0x31, 0x36}, std::nan("")),
              link::RegisterAccess::WriteRefused);
    EXPECT_TRUE(rig.Writes().empty());
    EXPECT_TRUE(rig.errors.codes.empty());
}

} // namespace
} // namespace qmt::test
