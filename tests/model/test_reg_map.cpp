#include "model/reg_map.h"

#include <gtest/gtest.h>
#include <utility>

namespace qmt::model {
namespace {

class RegMapTest : public ::testing::Test {
protected:
    void SetUp() override { table.FillRegMap(); }
    const RegMapEntry& At(int index) const { return table.RegMap.at(static_cast<size_t>(index)); }

    RegMapStuff table;
};

TEST_F(RegMapTest, LookupsGiveTheFirstRecordAndNeverTheSentinel) {
    // Shared pointers must resolve to the Remote 1 record, the one listed first.
    for (const auto& [address, index] : {std::pair{0x01, 2}, {0x07, 9}, {0x10, 13}, {0x19, 23}}) {
        EXPECT_EQ(table.FindByReadAddress(address), index) << address;
        EXPECT_TRUE(At(index).Name.starts_with("Remote 1 ")) << address;
    }
    EXPECT_EQ(table.FindByReadAddress(0xFF), 40);
    for (const int address : {0x09, 0x38, -1}) { // write-only, gap, the sentinel's own
        EXPECT_EQ(table.FindByReadAddress(address), std::nullopt) << address;
    }
    for (int i = 1; i < RegMapSize; ++i) {
        EXPECT_EQ(table.FindByName(At(i).Name), i) << At(i).Name;
        EXPECT_EQ(SplitBitNames(At(i)).size(), 8U) << At(i).Name;
    }
    // Keys match exactly: the blank before "=1" belongs to other records only.
    EXPECT_EQ(table.FindByName("Remote 2 Temp High Byte (bit 3 Config Reg =1)"), std::nullopt);
    EXPECT_EQ(table.FindByName(""), std::nullopt);
}

TEST_F(RegMapTest, TrickyRecordsAndTheSaveWalk) {
    EXPECT_EQ(At(3).Name, "Remote 2 Temp High Byte (bit 3 Config Reg=1)");
    EXPECT_EQ(At(5).BitNames, "Msk:Mn/Sty: AL/TH:Res:Rm1/2:TmpR:MkR1:MkR2");
    EXPECT_EQ(At(10).Name, "Remote 2 High Limit,High Byte (bit 3 Config Reg =1)");
    EXPECT_EQ(At(28).BitNames, "Res:Res:Res:R2Hg:R2LW:D2ON:R2TM1:ALRT");
    EXPECT_EQ(SplitBitNames(At(5)).at(2), " AL/TH");
    const std::vector<int> writable = {5,  6,  7,  8,  9,  10, 11, 12, 15, 16, 17, 18, 19, 20, 21,
                                       22, 23, 24, 25, 26, 27, 29, 31, 32, 34, 35, 36, 37, 38, 40};
    EXPECT_EQ(table.SaveWalk(), writable);
}

} // namespace
} // namespace qmt::model
