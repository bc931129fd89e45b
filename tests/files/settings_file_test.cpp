#include "files/power_on_chip.h"
#include "files/settings_file_format.h"
#include "files/settings_save.h"

#include <gtest/gtest.h>
#include <utility>

namespace qmt::files {
namespace {

struct SaveRig : test::PowerOnChip {
    std::vector<SavedRegister> Save(bool onlyChanged) {
        bridge.log.clear();
        return ReadSavedRegisters(table, access, onlyChanged);
    }
};

TEST(SettingsFileFormat, HeaderAndBlockAreWrittenByteForByte) {
    EXPECT_EQ(SettingsFileHeader("12/5/2026", "10:28:13 PM", "  bench 3, \tcold  "),
              "Kestrivo\r\nQMT6171/3 Evaluation Software\r\n\r\n"
              "Saved: 12/5/2026 at 10:28:13 PM\r\n\r\n"
              "Comment : bench 3, \tcold\r\n\r\n");
    EXPECT_TRUE(SettingsFileHeader("d", "t", "   ").ends_with("\r\nComment : \r\n\r\n"));
    // A comment is one header line whatever was pasted into it.
    EXPECT_EQ(CommentText(" a\r\n{b}\n"), "a  {b}");
    // One byte per character: Latin-1, anything beyond it as "?" (the texts come as UTF-8).
    EXPECT_EQ(SettingsFileHeader("5.12.2026", "22:28:13", " 25 \u00B0C, 5 \u20AC ").substr(43),
              "Saved: 5.12.2026 at 22:28:13\r\n\r\nComment : 25 \xB0"
              "C, 5 ?\r\n\r\n");

    // The time of the "Saved:" line carries seconds in every regional form.
    for (const auto& [format, withSeconds] :
         {std::pair<const char*, const char*>{"h:mm AP", "h:mm:ss AP"},
          {"HH:mm", "HH:mm:ss"},
          {"H.mm", "H.mm.ss"},
          {"HH'h'mm", "HH'h'mm:ss"},
          {"HH:mm:ss", "HH:mm:ss"}}) {
        EXPECT_EQ(TimeFormatWithSeconds(format), withSeconds) << format;
    }

    EXPECT_EQ(RegisterBlock({}), "Address\tData\tRegister\r\n{\r\n}\r\n");
    EXPECT_EQ(RegisterBlock({{9, 4, "Configuration Reg 1"},
                             {0xB, 0x55, "Local Temp High Limit"},
                             {0x21, 10, "Therm Hysteresis"},
                             {0, 0xFF, "Die Revision Code"}}),
              "Address\tData\tRegister\r\n{\r\n"
              "0x9\t0x4\t // Configuration Reg 1\r\n"
              "0xB\t0x55\t // Local Temp High Limit\r\n"
              "0x21\t0xA\t // Therm Hysteresis\r\n"
              "0x0\t0xFF\t // Die Revision Code\r\n}\r\n");
}

TEST(SettingsFileSave, ReadsEverySavedRowAndLeavesOutDefaultsOnlyWhenAsked) {
    SaveRig rig;
    EXPECT_TRUE(rig.Save(true).empty());

    const auto all = rig.Save(false);
    ASSERT_EQ(all.size(), 30u);
    // One read per row at its read pointer, in table order: a shared pointer twice.
    const auto reads = rig.bridge.Calls(222);
    ASSERT_EQ(reads.size(), 30u);
    EXPECT_EQ(reads[4].index, 0x07);
    EXPECT_EQ(reads[5].index, 0x07);
    EXPECT_EQ(RegisterLine(all.back()), "0x0\t0x52\t // Die Revision Code");

    auto& chip = rig.chip();
    chip[0xFF] = 0x53;
    chip[0x07] = 0x46;
    chip[0x03] = 0x04;
    const auto changed = rig.Save(true);
    ASSERT_EQ(changed.size(), 4u);
    EXPECT_EQ(RegisterLine(changed[0]), "0x9\t0x4\t // Configuration Reg 1");
    EXPECT_EQ(RegisterLine(changed[1]),
              "0xD\t0x46\t // Remote 1 High Limit,High Byte (bit 3 Config Reg =0)");
    EXPECT_EQ(RegisterLine(changed[2]),
              "0xD\t0x46\t // Remote 2 High Limit,High Byte (bit 3 Config Reg =1)");
    EXPECT_EQ(RegisterLine(changed[3]), "0x0\t0x53\t // Die Revision Code");
}

} // namespace
} // namespace qmt::files
