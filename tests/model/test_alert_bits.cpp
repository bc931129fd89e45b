#include "model/alert_bits.h"

#include <gtest/gtest.h>
#include <set>

namespace qmt::model {
namespace {

std::set<std::size_t> On(const std::array<AlertState, AlertBitCount>& states) {
    std::set<std::size_t> on;
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (states[i].value_or(false)) {
            on.insert(i);
        }
    }
    return on;
}

TEST(AlertBitsTest, EachIndicatorFollowsItsBitAndAFailedReadLeavesItsOwnUnknown) {
    EXPECT_EQ(On(AlertStates(0x41, 0x01)), (std::set<std::size_t>{0, 8, 11}));
    // The unshown bits light nothing; every shown bit lights exactly one.
    EXPECT_TRUE(On(AlertStates(0x80, 0xE0)).empty());
    EXPECT_EQ(On(AlertStates(0x7F, 0x1F)).size(), 12u);
    EXPECT_EQ(On(AlertStates(0x04, 0x04)), (std::set<std::size_t>{6, 7}));
    const auto states = AlertStates(std::nullopt, 0x1F);
    for (const AlertBit& alert : AlertBits) {
        EXPECT_EQ(states[static_cast<std::size_t>(alert.indicator)].has_value(),
                  alert.reg == StatusRegister2)
            << alert.caption;
    }
}

} // namespace
} // namespace qmt::model
