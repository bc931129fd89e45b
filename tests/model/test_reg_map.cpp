#include "model/reg_map.h"

#include <gtest/gtest.h>
#include <set>

namespace qmt::model {
namespace {

class RegMapTest : public ::testing::Test {
protected:
    void SetUp() override { table.FillRegMap(); }
    const RegMapEntry& At(int index) const { return table.RegMap.at(static_cast<size_t>(index)); }

    RegMapStuff table;
};

TEST_F(RegMapTest, SentinelMatchesNoAddressOrName) {
    const RegMapEntry& sentinel = At(0);
    EXPECT_EQ(sentinel.ReadAddress, 1000);
    EXPECT_EQ(sentinel.WriteAddress, 1000);
    EXPECT_TRUE(sentinel.Name.empty());
    EXPECT_TRUE(sentinel.BitNames.empty());
    EXPECT_EQ(sentinel.DefaultValue, 0);
    EXPECT_TRUE(sentinel.SkipOnSave);
    EXPECT_TRUE(SplitBitNames(sentinel).empty());

    EXPECT_EQ(table.FindByName(""), std::nullopt);
    EXPECT_EQ(table.FindByReadAddress(1000), std::nullopt);
    for (int address = 0; address <= 0xFF; ++address) {
        EXPECT_NE(table.FindByReadAddress(address), 0) << address;
    }
}

TEST_F(RegMapTest, ReadAddressLookupPrefersRemote1RecordOfSharedPointers) {
    struct Case {
        int address;
        std::optional<int> index;
    };
    const Case cases[] = {
        {0x00, 1},
        {0x01, 2},
        {0x03, 5},
        {0x04, 6},
        {0x07, 9},
        {0x08, 11},
        {0x10, 13},
        {0x11, 15},
        {0x12, 17},
        {0x13, 19},
        {0x14, 21},
        {0x19, 23},
        {0x30, 30},
        {0x39, 38},
        {0xFE, 39},
        {0xFF, 40},
        {0x09, std::nullopt},
        {0x0A, std::nullopt},
        {0x15, std::nullopt},
        {0x38, std::nullopt},
        {-1, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(table.FindByReadAddress(c.address), c.index) << "address " << c.address;
    }
    EXPECT_EQ(At(2).Name, "Remote 1 Temp High Byte (bit 3 Config Reg =0)");
    EXPECT_EQ(At(30).Name, "Remote 2 Temp High Byte");
}

TEST_F(RegMapTest, NameLookupFindsEveryRegisterByItsOwnKey) {
    for (int i = 1; i < RegMapSize; ++i) {
        EXPECT_EQ(table.FindByName(At(i).Name), i) << At(i).Name;
        EXPECT_EQ(At(i).Description, At(i).Name);
    }
    EXPECT_EQ(table.FindByName("Remote 2 Temp High Byte (bit 3 Config Reg =1)"), std::nullopt);
}

TEST_F(RegMapTest, RecordsKeepTheirExactFields) {
    // Records whose spelling or addresses are easy to get wrong.
    EXPECT_EQ(At(3).Name, "Remote 2 Temp High Byte (bit 3 Config Reg=1)");
    EXPECT_EQ(At(5).Name, "Configuration Reg 1");
    EXPECT_EQ(At(5).BitNames, "Msk:Mn/Sty: AL/TH:Res:Rm1/2:TmpR:MkR1:MkR2");
    EXPECT_EQ(At(5).ReadAddress, 0x03);
    EXPECT_EQ(At(5).WriteAddress, 0x09);
    EXPECT_EQ(At(6).Name, "Conversion Rate");
    EXPECT_EQ(At(6).WriteAddress, 0x0A);
    EXPECT_EQ(At(6).DefaultValue, 0x08);
    EXPECT_EQ(At(10).Name, "Remote 2 High Limit,High Byte (bit 3 Config Reg =1)");
    EXPECT_EQ(At(26).DefaultValue, 0x0A);
    EXPECT_EQ(At(27).DefaultValue, 0x01);
    EXPECT_EQ(At(28).BitNames, "Res:Res:Res:R2Hg:R2LW:D2ON:R2TM1:ALRT");
    EXPECT_EQ(At(34).Name, "Remote 2 Temp Offset High Byte");
    EXPECT_EQ(At(39).DefaultValue, 0x41);
    EXPECT_EQ(At(40).Name, "Die Revision Code");
    EXPECT_EQ(At(40).WriteAddress, 0);
    EXPECT_EQ(At(40).DefaultValue, 0x52);

    const std::vector<std::string> configBits = SplitBitNames(At(5));
    ASSERT_EQ(configBits.size(), 8U);
    EXPECT_EQ(configBits[2], " AL/TH");
    EXPECT_EQ(configBits[4], "Rm1/2");
    EXPECT_EQ(configBits[5], "TmpR");
    EXPECT_EQ(SplitBitNames(At(13)),
              (std::vector<std::string>{"2", "1", "0", "-", "-", "-", "-", "-"}));
}

TEST_F(RegMapTest, SharedPointersComeInRemote1Remote2Pairs) {
    const int firstOfPairs[] = {2, 9, 11, 13, 15, 17, 19, 21, 23};
    for (int i : firstOfPairs) {
        EXPECT_EQ(At(i).ReadAddress, At(i + 1).ReadAddress) << i;
        EXPECT_EQ(At(i).WriteAddress, At(i + 1).WriteAddress) << i;
        EXPECT_EQ(At(i).BitNames, At(i + 1).BitNames) << i;
        EXPECT_EQ(At(i).DefaultValue, At(i + 1).DefaultValue) << i;
        EXPECT_TRUE(At(i).Name.starts_with("Remote 1 ")) << i;
        EXPECT_TRUE(At(i + 1).Name.starts_with("Remote 2 ")) << i;
    }
}

TEST_F(RegMapTest, EveryRegisterHasEightBitNamesAndDistinctName) {
    std::set<std::string> names;
    for (int i = 1; i < RegMapSize; ++i) {
        EXPECT_EQ(SplitBitNames(At(i)).size(), 8U) << At(i).Name;
        names.insert(At(i).Name);
    }
    EXPECT_EQ(names.size(), static_cast<size_t>(RegMapSize - 1));
}

TEST_F(RegMapTest, SaveWalkVisitsWritableSettingsOnly) {
    const std::vector<int> expected = {5,  6,  7,  8,  9,  10, 11, 12, 15, 16, 17, 18, 19, 20, 21,
                                       22, 23, 24, 25, 26, 27, 29, 31, 32, 34, 35, 36, 37, 38, 40};
    EXPECT_EQ(table.SaveWalk(), expected);
}

} // namespace
} // namespace qmt::model
