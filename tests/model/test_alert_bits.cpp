#include "model/alert_bits.h"

#include <gtest/gtest.h>
#include <set>

namespace qmt::model {
namespace {

std::set<int> OnIndicators(const std::array<AlertState, AlertBitCount>& states) {
    std::set<int> on;
    for (int i = 0; i < AlertBitCount; ++i) {
        if (states[static_cast<std::size_t>(i)].value_or(false)) {
            on.insert(i);
        }
    }
    return on;
}

TEST(AlertBitsTest, EachIndicatorFollowsItsBitAndAFailedReadLeavesItsOwnUnknown) {
    EXPECT_EQ(OnIndicators(AlertStates(0x41, 0x01)), (std::set<int>{0, 8, 11}));
    // The unshown bits light nothing; every shown bit lights exactly one.
    EXPECT_TRUE(OnIndicators(AlertStates(0x80, 0xE0)).empty());
    EXPECT_EQ(OnIndicators(AlertStates(0x7F, 0x1F)).size(), 12u);
    EXPECT_EQ(OnIndicators(AlertStates(0x04, 0x04)), (std::set<int>{6, 7}));

    const auto states = AlertStates(std::nullopt, 0x1F);
    for (const AlertBit& alert : AlertBits) {
        const AlertState state = states[static_cast<std::size_t>(alert.indicator)];
        EXPECT_EQ(state.has_value(), alert.reg == StatusRegister2) << alert.caption;
    }
}

} // namespace
} // namespace qmt::model
