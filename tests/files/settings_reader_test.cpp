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

std::optional<std::int32_t> ByteOf(std::string_view text) {
    SettingsReader reader(text);
    return reader.ReadByte();
}

TEST(SettingsReader, CharacterOperationsReadAsDescribedAndStopAtTheEnd) {
    SettingsReader reader("ab}c");
    EXPECT_EQ(reader.ReadChar(), 'a');
    EXPECT_EQ(reader.ReadChar(0), std::nullopt);
    EXPECT_EQ(reader.ReadChar(2), '}');
    EXPECT_EQ(reader.ReadChar(2), std::nullopt); // one left: consumed, nothing returned
    EXPECT_EQ(reader.position(), 4u);
    reader = SettingsReader("}x");
    EXPECT_EQ(reader.IsEndOfFile(), true);
    EXPECT_EQ(reader.IsEndOfFile(), false); // "x" is consumed all the same
    EXPECT_EQ(reader.IsEndOfFile(), std::nullopt);
    EXPECT_EQ(reader.ReadChar(), std::nullopt);

    // Two characters, blanks, tabs and line feeds skipped, either case.
    EXPECT_EQ(ByteOf("9\t"), 9);
    EXPECT_EQ(ByteOf("55"), 0x55);
    EXPECT_EQ(ByteOf("aB"), 0xAB);
    EXPECT_EQ(ByteOf(" F"), 0xF);
    EXPECT_EQ(ByteOf("\n5"), 5);
    EXPECT_EQ(ByteOf("5\r"), 5);
    EXPECT_EQ(ByteOf("\r5"), 0); // a carriage return ends the number
    EXPECT_EQ(ByteOf("G1"), 0);
    EXPECT_EQ(ByteOf("123"), 0x12); // never more than two characters
    EXPECT_EQ(ByteOf("7"), std::nullopt);
    reader = SettingsReader("12");
    ASSERT_EQ(reader.ReadByte(), 0x12);
    EXPECT_EQ(reader.position(), 2u);
    EXPECT_EQ(reader.ReadByte(), std::nullopt);

    reader = SettingsReader("ab\ncd\n");
    EXPECT_TRUE(reader.SkipToLineEnd());
    EXPECT_EQ(reader.position(), 3u);
    EXPECT_TRUE(reader.SkipToLineEnd()); // just after a line feed: the line is over
    EXPECT_EQ(reader.position(), 3u);
    EXPECT_EQ(reader.ReadChar(), 'c');
    EXPECT_TRUE(reader.SkipToLineEnd());
    EXPECT_EQ(reader.ReadChar(), std::nullopt);
    reader = SettingsReader("ab");
    EXPECT_FALSE(reader.SkipToLineEnd());
}

TEST(SettingsReader, RecallsASavedFileInFileOrder) {
    const std::vector<SavedRegister> rows{{0x09, 0x08, "Configuration Reg 1"},
                                          {0x0D, 0x46, "Remote 1 High Limit,High Byte"},
                                          {0x0D, 0x46, "Remote 2 High Limit,High Byte"},
                                          {0x24, 0x80, "Configuration Reg 2"},
                                          {0x00, 0x53, "Die Revision Code"},
                                          {0x0A, 0x0A, "Conversion Rate"}};
    const std::string text =
        SettingsFileHeader("12/5/26", "10:28 PM", "no x here") + RegisterBlock(rows);
    const Recalled r = Recall(text);
    EXPECT_EQ(r.result.end, RecallEnd::Closed);
    EXPECT_EQ(r.result.written, 6);
    EXPECT_EQ(r.blockFound, 1);
    EXPECT_EQ(r.writesBeforeBlock, 0);
    EXPECT_EQ(r.writes,
              (Writes{{9, 8}, {0xD, 0x46}, {0xD, 0x46}, {0x24, 0x80}, {0, 0x53}, {0xA, 0xA}}));

    // An empty block: the header and braces only.
    const Recalled empty = Recall(SettingsFileHeader("d", "t", "") + RegisterBlock({}));
    EXPECT_EQ(empty.result.end, RecallEnd::Closed);
    EXPECT_EQ(empty.blockFound, 1);
    EXPECT_TRUE(empty.writes.empty());
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
