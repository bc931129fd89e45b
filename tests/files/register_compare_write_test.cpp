#include "files/emulated_chip.h"
#include "files/register_compare_write.h"
#include "files/settings_save.h"

#include <gtest/gtest.h>

namespace qmt::files {
namespace {

// Rows of the walk: 1 Conversion Rate, 2 Local Temp High Limit, 4 Remote 1
// High Limit (shared 0x0D), 8 Remote 1 Offset High Byte, 21 Configuration
// Reg 2, 22 Remote 2 High Limit (0x31).
const std::string File = "{\r\n0xA\t0x6\r\n0xB\t0x50\r\n0xD\t0x40\r\n0x11\t0x5\r\n"
                         "0x24\t0x80\r\n0x31\t0x50\r\n}\r\n";

struct WriteRig : test::EmulatedChip {
    explicit WriteRig(const std::string& board = {}) : EmulatedChip(board) {
        file = ReadFileValues(File);
        rows = BuildCompareRows(table, ReadSavedRegisters(table, access, false), &file);
    }
    std::string WriteRows(const std::vector<std::size_t>& selected) {
        const WritePlan plan = PlanChipWrites(table, rows, selected, access);
        return WriteReport(WritePlanned(plan, rows, access), plan.refusals, "a.sav");
    }
    FileValues file;
    std::vector<CompareRow> rows;
};

TEST(RegisterCompareWrite, WritesTheChannelTheChipShowsNowAndLocksLast) {
    WriteRig rig;
    // Another window selects Remote 2 after the rows were read: the Remote 1
    // row would land in Remote 2's register.
    rig.Write(0x09, 0x08);
    EXPECT_EQ(rig.WriteRows({4}), "Wrote 0 registers from a.sav; not written: Remote 1 High "
                                  "Limit,High Byte (bit 3 Config Reg =0): the remote registers "
                                  "show Remote 2 now");
    EXPECT_EQ(rig.Read(0x31), 0x55);
    rig.Write(0x09, 0x00);
    EXPECT_EQ(rig.WriteRows({4}), "Wrote 1 register from a.sav");
    EXPECT_EQ(rig.Read(0x07), 0x40);

    // The lock bit goes in last, so the limit before it in the file takes.
    EXPECT_EQ(rig.WriteRows({21, 22}), "Wrote 2 registers from a.sav");
    EXPECT_EQ(rig.Read(0x31), 0x50);
    EXPECT_EQ(rig.Read(0x24), 0x80);
}

TEST(RegisterCompareWrite, WritesALockedChipIgnoresAreCountedAsNotTaken) {
    WriteRig rig("reg.0x24 = 0x80\n");
    // The offset is not locked; the rate and the limit are.
    EXPECT_EQ(rig.WriteRows({1, 2, 8}), "1 of 3 registers written from a.sav; 2 are locked");
    EXPECT_EQ(rig.Read(0x11), 0x05);
    EXPECT_EQ(rig.Read(0x05), 0x55);

    EXPECT_EQ(WriteReport({3, 1, 1, 1}, {"Die Revision Code: read-only"}, "b.sav"),
              "1 of 3 registers written from b.sav; 1 is locked; 1 did not take; not written: "
              "Die Revision Code: read-only");
}

} // namespace
} // namespace qmt::files
