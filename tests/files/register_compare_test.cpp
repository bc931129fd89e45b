#include "files/power_on_chip.h"
#include "files/register_compare.h"
#include "files/settings_save.h"

#include <gtest/gtest.h>

namespace qmt::files {
namespace {

using Bits = std::vector<std::string>;

struct CompareRig : test::PowerOnChip {
    std::vector<SavedRegister> Saved() { return ReadSavedRegisters(table, access, false); }
    // The settings file a save of the chip writes now.
    std::string SavedFile() { return RegisterBlock(Saved()); }
    std::vector<CompareRow> Rows(const std::string& fileText) {
        file = ReadFileValues(fileText);
        bridge.log.clear();
        return BuildCompareRows(table, Saved(), &file);
    }
    FileValues file;
};

std::vector<const CompareRow*> Differing(const std::vector<CompareRow>& rows,
                                         Reference reference = Reference::File) {
    std::vector<const CompareRow*> differing;
    for (const auto& row : rows) {
        if (Differs(row, reference)) {
            differing.push_back(&row);
        }
    }
    return differing;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(RegisterCompare, APowerOnChipDiffersFromAFileInExactlyItsThreeChanges) {
    CompareRig rig;
    std::string file = rig.SavedFile();
    file = Replaced(file, "0x9\t0x0\t", "0x9\t0xC\t");   // Configuration Reg 1: Rm1/2, TmpR
    file = Replaced(file, "0xA\t0x8\t", "0xA\t0x88\t");  // Conversion Rate: Avg
    file = Replaced(file, "0xB\t0x55\t", "0xB\t0x50\t"); // Local Temp High Limit: bits 2 and 0
    const auto rows = rig.Rows(file);
    ASSERT_EQ(rows.size(), 30U);
    EXPECT_EQ(rig.file.end, RecallEnd::Closed);

    const auto differing = Differing(rows);
    ASSERT_EQ(differing.size(), 3U);
    EXPECT_EQ(DifferingBits(rig.table, *differing[0], Reference::File), (Bits{"Rm1/2", "TmpR"}));
    EXPECT_EQ(DifferingBits(rig.table, *differing[1], Reference::File), (Bits{"Avg"}));
    EXPECT_EQ(BitList(DifferingBits(rig.table, *differing[2], Reference::File)), "2, 0");
    EXPECT_EQ(PointerText(rows.back()), "FFh/-"); // Die Revision Code

    // The chip is at power-on: nothing differs from the table's defaults.
    EXPECT_TRUE(Differing(rows, Reference::PowerOn).empty());
    rig.chip()[0x03] = 0x20; // Configuration Reg 1: " AL/TH", named without its blank
    const auto changed = BuildCompareRows(rig.table, rig.Saved(), nullptr);
    ASSERT_EQ(Differing(changed, Reference::PowerOn).size(), 1U);
    EXPECT_EQ(DifferingBits(rig.table, changed[0], Reference::PowerOn), (Bits{"AL/TH"}));
    // Reserved bits share their name; their number tells them apart.
    rig.chip()[0x24] = 0x41;
    const auto reserved = BuildCompareRows(rig.table, rig.Saved(), nullptr);
    EXPECT_EQ(DifferingBits(rig.table, reserved[21], Reference::PowerOn), (Bits{"bit 6", "bit 0"}));
    // A remote limit's high byte names the bits of the temperature word (10
    // to 3); the differing bits are the register's own.
    rig.chip()[0x07] = 0x50;
    const auto limit = BuildCompareRows(rig.table, rig.Saved(), nullptr);
    EXPECT_EQ(BitList(DifferingBits(rig.table, limit[4], Reference::PowerOn)), "2, 0");
}

TEST(RegisterCompare, ASharedRemotePointerIsReadOncePerRowAndTakesOneLineEach) {
    CompareRig rig;
    rig.chip()[0x07] = 0x40;
    std::string file = rig.SavedFile();
    file = Replaced(file, "0xD\t0x40\t // Remote 1", "0xD\t0x41\t // Remote 1");
    file = Replaced(file, "0xD\t0x40\t // Remote 2", "0xD\t0x42\t // Remote 2");
    auto rows = rig.Rows(file);
    EXPECT_EQ(rows[4].file, 0x41);
    EXPECT_EQ(rows[5].file, 0x42);
    // The pointer shows Remote 1: the Remote 2 row holds Remote 1's value and
    // is not held against the file.
    EXPECT_FALSE(rows[4].otherChannel);
    EXPECT_TRUE(rows[5].otherChannel);
    auto differing = Differing(rows);
    ASSERT_EQ(differing.size(), 1U);
    EXPECT_EQ(differing[0], &rows[4]);
    EXPECT_EQ(SharedRowChannel(rig.table, rows[5].index), true);
    EXPECT_EQ(SharedRowChannel(rig.table, rows[0].index), std::nullopt);

    rig.chip()[0x03] = 0x08;
    rows = rig.Rows(file);
    differing = Differing(rows);
    ASSERT_EQ(differing.size(), 2U); // Configuration Reg 1 and the Remote 2 row
    EXPECT_EQ(differing[1], &rows[5]);
    EXPECT_TRUE(rows[4].otherChannel);
}

TEST(RegisterCompare, PartialFilesKeepTheRowsTheyHaveAndExtraLinesAreShown) {
    CompareRig rig;
    // Cut inside the block, in the middle of the fourth register line.
    const std::string file = rig.SavedFile();
    const auto cut = file.find("0xC\t0x");
    auto rows = rig.Rows(file.substr(0, cut + 4));
    EXPECT_EQ(rig.file.end, RecallEnd::EndedInBlock);
    ASSERT_EQ(rows.size(), 30U);
    EXPECT_EQ(rows[2].file, 0x55);
    EXPECT_EQ(rows[3].file, std::nullopt);
    EXPECT_TRUE(Differing(rows).empty());

    // A changed-only save, edited by hand: a line for a pointer no register
    // has, and a second line for Configuration Reg 2. The recall writes both,
    // so both are rows; the first has nothing to be compared with, the second
    // is held against Configuration Reg 2 as the chip holds it.
    rows = rig.Rows("{\r\n0x24\t0x80\r\n0x50\t0x1\r\n0x24\t0x0\r\n}\r\n");
    ASSERT_EQ(rows.size(), 32U);
    EXPECT_EQ(rows[30].name, "Unknown");
    EXPECT_TRUE(NotInTable(rows[30]));
    EXPECT_EQ(rows[30].chip, std::nullopt);
    EXPECT_EQ(rows[31].name, "Configuration Reg 2");
    EXPECT_FALSE(NotInTable(rows[31]));
    EXPECT_EQ(rows[31].chip, 0x00);
    EXPECT_EQ(rows[31].file, 0x00);
    const auto differing = Differing(rows);
    ASSERT_EQ(differing.size(), 1U);
    EXPECT_EQ(differing[0], &rows[21]);
    EXPECT_TRUE(DifferingBits(rig.table, rows[30], Reference::File).empty());
    EXPECT_EQ(PlanFileWrites(rig.table, rows, {30}, 0x00).refusals,
              std::vector<std::string>{"50h: not in the register table"});
}

TEST(RegisterCompare, FileWritesTakeTheSelectedRowsAndRefuseWhatWouldLandElsewhere) {
    CompareRig rig;
    std::string file = rig.SavedFile();
    file = Replaced(file, "0xD\t0x55\t // Remote 2", "0xD\t0x30\t // Remote 2");
    file = Replaced(file, "0x0\t0x52\t", "0x0\t0x53\t");
    file = Replaced(file, "0x39\t0x55\t // Remote 2 Therm Limit\r\n", "");
    auto rows = rig.Rows(file);

    // (A plain selected write is the Compare window's test.) Refused: the
    // Remote 2 row while the remote registers show Remote 1, Die Revision Code
    // (no write pointer: the recall would put it at 0x00), and a row the file
    // has no line for.
    auto plan = PlanFileWrites(rig.table, rows, {29, 5, 28, 5}, 0x00);
    EXPECT_TRUE(plan.writes.empty());
    EXPECT_EQ(plan.refusals,
              (std::vector<std::string>{
                  "Remote 2 High Limit,High Byte (bit 3 Config Reg =1): the remote registers "
                  "show Remote 1 now",
                  "Remote 2 Therm Limit: not in the file", "Die Revision Code: read-only"}));

    // With a file whose Configuration Reg 1 selects Remote 2, writing it first
    // lets the Remote 2 row follow, and then the Remote 1 row is refused.
    file = Replaced(file, "0x9\t0x0\t", "0x9\t0x8\t");
    rows = rig.Rows(file);
    plan = PlanFileWrites(rig.table, rows, {4, 5, 0}, 0x00);
    ASSERT_EQ(plan.writes.size(), 2U);
    EXPECT_EQ(plan.writes[0].address, 0x09);
    EXPECT_EQ(plan.writes[1].value, 0x30);
    ASSERT_EQ(plan.refusals.size(), 1U);
    EXPECT_TRUE(plan.refusals[0].ends_with("show Remote 2 now")) << plan.refusals[0];

    // The channel is the one the chip shows when the plan is made, not when
    // the rows were read.
    plan = PlanFileWrites(rig.table, rows, {5}, 0x08);
    EXPECT_EQ(plan.writes.size(), 1U);

    // Configuration Reg 2 goes last: its bit 7 would lock the limits after it.
    plan = PlanFileWrites(rig.table, rows, {28, 21, 22, 2}, 0x00);
    std::vector<std::int32_t> order;
    for (const auto& write : plan.writes) {
        order.push_back(write.address);
    }
    EXPECT_EQ(order, (std::vector<std::int32_t>{0x0B, 0x31, 0x24}));
}

} // namespace
} // namespace qmt::files
