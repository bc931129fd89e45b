#include "files/settings_file_format.h"
#include "files/settings_reader.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace qmt::files {
namespace {

using Writes = std::vector<std::pair<std::int32_t, std::int32_t>>;

struct Recalled {
    RecallResult result;
    Writes writes;
    int blockFound = 0;
    int writesBeforeBlock = 0;
};

Recalled Recall(std::string_view text) {
    Recalled r;
    r.result = RecallSettings(
        text, [&r] { ++r.blockFound; },
        [&r](std::int32_t address, std::int32_t value) {
            if (r.blockFound == 0) {
                ++r.writesBeforeBlock;
            }
            r.writes.emplace_back(address, value);
        });
    return r;
}

// A value is two characters at most, a skipped blank or line feed among them;
// a carriage return or a non-digit ends it (more in the hand-edited files).
TEST(SettingsReader, ReadsBytesAndCharactersAsTheRecallDoes) {
    using Byte = std::optional<std::int32_t>;
    for (const auto& [text, byte] : {std::pair<const char*, Byte>{"\r5", 0},
                                     {"\n5", 5},
                                     {"G1", 0},
                                     {"123", 0x12},
                                     {"aB", 0xAB},
                                     {"7", std::nullopt}}) {
        SettingsReader reader(text);
        EXPECT_EQ(reader.ReadByte(), byte) << text;
    }
    // A count below one reads nothing; one past the end consumes the rest.
    SettingsReader reader("ab}c");
    EXPECT_EQ(reader.ReadChar(), 'a');
    EXPECT_EQ(reader.ReadChar(0), std::nullopt);
    EXPECT_EQ(reader.ReadChar(2), '}');
    EXPECT_EQ(reader.ReadChar(2), std::nullopt);
    EXPECT_EQ(reader.position(), 4u);
}

TEST(SettingsReader, RecallsASavedFileInFileOrder) {
    const std::vector<SavedRegister> rows{{0x09, 0x08, "Configuration Reg 1"},
                                          {0x0D, 0x46, "Remote 1 High Limit,High Byte"},
                                          {0x0D, 0x46, "Remote 2 High Limit,High Byte"},
                                          {0x00, 0x53, "Die Revision Code"}};
    const std::string text =
        SettingsFileHeader("12/5/26", "10:28 PM", "no x here") + RegisterBlock(rows);
    const Recalled r = Recall(text);
    EXPECT_EQ(r.result.end, RecallEnd::Closed);
    EXPECT_EQ(r.result.written, 4);
    EXPECT_EQ(r.blockFound, 1);
    EXPECT_EQ(r.writesBeforeBlock, 0);
    EXPECT_EQ(r.writes, (Writes{{9, 8}, {0xD, 0x46}, {0xD, 0x46}, {0, 0x53}}));
}

TEST(SettingsReader, ReadsHandEditedFilesAsPeopleWriteThem) {
    // A bare line, lower case, LF-only ends, blanks and tabs in odd places,
    // an empty line and a one-digit value closing an LF-only line (which
    // must not swallow the line after it).
    const Recalled r = Recall("my settings {ignored}\n"
                              "0x24\t0x80\n"
                              "\n"
                              "  0x0b 0xff\n"
                              "0x 2 0x5 \t // blanks\r\n"
                              "0x21\t0x8\n"
                              "0x0c\t0x7F // last\n"
                              "}\n"
                              "0x20\t0x01\n");
    EXPECT_EQ(r.result.end, RecallEnd::Closed);
    EXPECT_EQ(r.writes, (Writes{{0x24, 0x80}, {0x0B, 0xFF}, {2, 5}, {0x21, 8}, {0x0C, 0x7F}}));

    // The block starts at the first "{" wherever it is, and ends at a "}"
    // that opens a line.
    EXPECT_EQ(Recall("Comment : a{b\r\n0x9\t0x4\r\n}").writes, (Writes{{9, 4}}));
}

TEST(SettingsReader, DamagedFilesWriteOnlyWhatTheyHold) {
    // No "{": nothing written, the block never found.
    Recalled r = Recall("Kestrivo\r\n0x9\t0x4\r\n}\r\n");
    EXPECT_EQ(r.result.end, RecallEnd::NoBlock);
    EXPECT_EQ(r.blockFound, 0);
    EXPECT_TRUE(r.writes.empty());
    EXPECT_EQ(Recall("").result.end, RecallEnd::NoBlock);

    // No "}": every whole line before the end is written, then it stops.
    r = Recall("{\r\n0x9\t0x4\r\n0xB\t0x55\r\n");
    EXPECT_EQ(r.result.end, RecallEnd::EndedInBlock);
    EXPECT_EQ(r.writes, (Writes{{9, 4}, {0xB, 0x55}}));

    // A file cut inside a line writes nothing of that line: not the address
    // alone, not half a value, not a whole value whose line never ends.
    for (const char* cut :
         {"{\r\n0x9\t0x4\r\n0x", "{\r\n0x9\t0x4\r\n0xB", "{\r\n0x9\t0x4\r\n0xB\t0x",
          "{\r\n0x9\t0x4\r\n0xB\t0x5", "{\r\n0x9\t0x4\r\n0xB\t0x55 // Local"}) {
        r = Recall(cut);
        EXPECT_EQ(r.result.end, RecallEnd::EndedInBlock) << cut;
        EXPECT_EQ(r.writes, (Writes{{9, 4}})) << cut;
    }

    // "{" as the very last character: the block is never entered.
    r = Recall("Kestrivo {");
    EXPECT_EQ(r.result.end, RecallEnd::EndedInBlock);
    EXPECT_EQ(r.blockFound, 0);

    // A NUL byte is no digit; an upper-case X is no "x", so the search for
    // the value runs into the end of the file.
    constexpr char withNuls[] = "{\n0x\0\0\t0x80\n0x24\t0x80\n}";
    r = Recall(std::string_view(withNuls, sizeof withNuls - 1));
    EXPECT_EQ(r.result.end, RecallEnd::Closed);
    EXPECT_EQ(r.writes, (Writes{{0, 0x80}, {0x24, 0x80}}));
    r = Recall("{\n0X9\t0x4\n}");
    EXPECT_EQ(r.result.end, RecallEnd::EndedInBlock);
    EXPECT_TRUE(r.writes.empty());
}

} // namespace
} // namespace qmt::files
