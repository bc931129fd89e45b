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

TEST_F(RegMapTest, ReadAddressLookupGivesFirstRecordAndNeverTheSentinel) {
    // Shared pointers must resolve to the Remote 1 record, the one listed first.
    const std::pair<int, int> shared[] = {{0x01, 2},  {0x07, 9},  {0x08, 11},
                                          {0x10, 13}, {0x11, 15}, {0x12, 17},
                                          {0x13, 19}, {0x14, 21}, {0x19, 23}};
    for (const auto& [address, index] : shared) {
        EXPECT_EQ(table.FindByReadAddress(address), index) << address;
        EXPECT_EQ(At(index + 1).ReadAddress, address) << address;
        EXPECT_TRUE(At(index).Name.starts_with("Remote 1 ")) << address;
    }
    EXPECT_EQ(table.FindByReadAddress(0x00), 1);
    EXPECT_EQ(table.FindByReadAddress(0x03), 5);
    EXPECT_EQ(table.FindByReadAddress(0xFF), 40);
    // Write-only pointers, gaps and the sentinel's own address find nothing.
    for (const int address : {0x09, 0x0A, 0x15, 0x38, 1000, -1}) {
        EXPECT_EQ(table.FindByReadAddress(address), std::nullopt) << address;
    }
    EXPECT_EQ(table.FindByName(""), std::nullopt);
    EXPECT_TRUE(SplitBitNames(At(0)).empty());
}

TEST_F(RegMapTest, EveryRecordIsFoundByItsNameAndHasEightBitNames) {
    for (int i = 1; i < RegMapSize; ++i) {
        EXPECT_EQ(table.FindByName(At(i).Name), i) << At(i).Name;
        EXPECT_EQ(SplitBitNames(At(i)).size(), 8U) << At(i).Name;
    }
    // Keys match exactly: the blank before "=1" belongs to other records only.
    EXPECT_EQ(table.FindByName("Remote 2 Temp High Byte (bit 3 Config Reg =1)"), std::nullopt);
}

TEST_F(RegMapTest, RecordsKeepTheirExactFields) {
    // Records whose spelling or addresses are easy to get wrong.
    EXPECT_EQ(At(3).Name, "Remote 2 Temp High Byte (bit 3 Config Reg=1)");
    EXPECT_EQ(At(5).Name, "Configuration Reg 1");
    EXPECT_EQ(At(5).BitNames, "Msk:Mn/Sty: AL/TH:Res:Rm1/2:TmpR:MkR1:MkR2");
    EXPECT_EQ(At(5).WriteAddress, 0x09);
    EXPECT_EQ(At(6).WriteAddress, 0x0A);
    EXPECT_EQ(At(10).Name, "Remote 2 High Limit,High Byte (bit 3 Config Reg =1)");
    EXPECT_EQ(At(28).BitNames, "Res:Res:Res:R2Hg:R2LW:D2ON:R2TM1:ALRT");
    EXPECT_EQ(At(30).Name, "Remote 2 Temp High Byte");
    EXPECT_EQ(At(40).WriteAddress, 0);
    EXPECT_EQ(SplitBitNames(At(5)).at(2), " AL/TH");
}

TEST_F(RegMapTest, SaveWalkVisitsWritableSettingsOnly) {
    const std::vector<int> expected = {5,  6,  7,  8,  9,  10, 11, 12, 15, 16, 17, 18, 19, 20, 21,
                                       22, 23, 24, 25, 26, 27, 29, 31, 32, 34, 35, 36, 37, 38, 40};
    EXPECT_EQ(table.SaveWalk(), expected);
}

} // namespace
} // namespace qmt::model
