#include "model/reg_map.h"

#include <gtest/gtest.h>
#include <utility>

namespace qmt::model {
namespace {

TEST(RegMapTest, LookupsGiveTheFirstRecordAndNeverTheSentinel) {
    RegMapStuff table;
    table.FillRegMap();
    const auto at = [&](int index) -> const RegMapEntry& {
        return table.RegMap.at(static_cast<std::size_t>(index));
    };
    // Shared pointers must resolve to the Remote 1 record, the one listed first.
    for (const auto& [address, index] : {std::pair{0x01, 2}, {0x07, 9}, {0x10, 13}, {0x19, 23}}) {
        EXPECT_EQ(table.FindByReadAddress(address), index) << address;
        EXPECT_TRUE(at(index).Name.starts_with("Remote 1 ")) << address;
    }
    EXPECT_EQ(table.FindByReadAddress(0xFF), 40);
    for (const int address : {0x09, 0x38, -1}) { // write-only, gap, the sentinel's own
        EXPECT_EQ(table.FindByReadAddress(address), std::nullopt) << address;
    }
    for (int i = 1; i < RegMapSize; ++i) {
        EXPECT_EQ(table.FindByName(at(i).Name), i) << at(i).Name;
        EXPECT_EQ(SplitBitNames(at(i)).size(), 8U) << at(i).Name;
    }
    // Keys match exactly: the blank before "=1" belongs to other records only.
    EXPECT_EQ(table.FindByName("Remote 2 Temp High Byte (bit 3 Config Reg =1)"), std::nullopt);
    EXPECT_EQ(SplitBitNames(at(5)).at(2), " AL/TH");
    const std::vector<int> writable = {5,  6,  7,  8,  9,  10, 11, 12, 15, 16, 17, 18, 19, 20, 21,
                                       22, 23, 24, 25, 26, 27, 29, 31, 32, 34, 35, 36, 37, 38, 40};
    EXPECT_EQ(table.SaveWalk(), writable);
}

} // namespace
} // namespace qmt::model
