#include "files/settings_file_format.h"
#include "files/settings_messages.h"
#include "files/settings_reader.h"

#include <gtest/gtest.h>
#include <random>
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
    RecallEnd end() const { return result.block.end; }
    std::string message() const { return RecallText(result, "a.sav"); }
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

// Every row a save may write, with the values a chip might hold.
std::string SavedFile(std::string_view comment) {
    const std::vector<SavedRegister> rows{
        {0x09, 0x08, "Configuration Reg 1"}, {0x0B, 0x46, "Local Temp High Limit"},
        {0x0D, 0x46, "Remote 1 High Limit"}, {0x0D, 0x50, "Remote 2 High Limit"},
        {0x21, 0x0A, "Therm Hysteresis"},    {0x24, 0x80, "Configuration Reg 2"},
        {0x31, 0x55, "Remote 2 High Limit"}, {0x39, 0x64, "Remote 2 Therm Limit"},
        {0x00, 0x53, "Die Revision Code"}};
    return SettingsFileHeader("12/5/26", "10:28:13 PM", comment) + RegisterBlock(rows);
}

TEST(SettingsReader, RecallsASavedFileInFileOrderWithTheLockLast) {
    // A comment with braces and an x of its own changes nothing.
    for (const char* comment : {"no x here", "fix {x} 0x24 0x80", "{"}) {
        const Recalled r = Recall(SavedFile(comment));
        EXPECT_EQ(r.end(), RecallEnd::Closed) << comment;
        EXPECT_EQ(r.result.written, 9);
        EXPECT_EQ(r.blockFound, 1);
        EXPECT_EQ(r.writesBeforeBlock, 0);
        // Configuration Reg 2 locks the limits: written after 0x31 to 0x39.
        EXPECT_EQ(r.writes, (Writes{{9, 8},
                                    {0xB, 0x46},
                                    {0xD, 0x46},
                                    {0xD, 0x50},
                                    {0x21, 0xA},
                                    {0x31, 0x55},
                                    {0x39, 0x64},
                                    {0, 0x53},
                                    {0x24, 0x80}}))
            << comment;
        EXPECT_EQ(r.message(), "Recalled 9 registers from a.sav");
    }
}

TEST(SettingsReader, ReadsHandEditedFilesAsPeopleWriteThem) {
    // Text and a "{" inside a line before the block, lower case, LF-only
    // ends, blanks and tabs in odd places, empty and comment lines, one-digit
    // values, an indented "}" and lines after it.
    const Recalled r = Recall("my settings {ignored}\n"
                              "0x24\t0x80\n"
                              "\n"
                              "  0x0b 0xff\n"
                              "// limits of remote 2, max 0x100\r\n"
                              "0x2 \t 0x5 \t // blanks\r\n"
                              "0x21\t0x8\n"
                              "0x0c\t0x7F// last\n"
                              "  }\n"
                              "0x20\t0x01\n");
    EXPECT_EQ(r.end(), RecallEnd::Closed);
    EXPECT_EQ(r.writes, (Writes{{0x0B, 0xFF}, {2, 5}, {0x21, 8}, {0x0C, 0x7F}, {0x24, 0x80}}));

    // The block starts at the first "{" when no line begins with one, and a
    // "}" without a line end closes it.
    EXPECT_EQ(Recall("Comment : a{b\r\n0x9\t0x4\r\n}").writes, (Writes{{9, 4}}));
    // Two lines of Configuration Reg 2 both go last, in their order.
    EXPECT_EQ(Recall("{\n0x24 0x1\n0x9 0x4\n0x24 0x80\n0x31 0x5\n}\n").writes,
              (Writes{{9, 4}, {0x31, 5}, {0x24, 1}, {0x24, 0x80}}));
}

// A damaged block writes nothing at all, and the message names the line.
TEST(SettingsReader, DamagedFilesWriteNothingAndNameTheFirstBadLine) {
    Recalled r = Recall("Kestrivo\r\n0x9\t0x4\r\n}\r\n");
    EXPECT_EQ(r.end(), RecallEnd::NoBlock);
    EXPECT_EQ(r.message(), "Recall failed, a.sav has no \"{\": no register written");
    EXPECT_EQ(Recall("").end(), RecallEnd::NoBlock);

    // Every cut of a saved file before its "}", inside a line or at its end.
    const std::string saved = SavedFile("bench");
    const auto closing = saved.rfind('}');
    for (std::size_t cut = 0; cut < closing; ++cut) {
        r = Recall(saved.substr(0, cut));
        EXPECT_TRUE(r.writes.empty()) << cut;
        EXPECT_EQ(r.blockFound, 0) << cut;
        EXPECT_NE(r.end(), RecallEnd::Closed) << cut;
    }
    // "{" is line 9: a file that ends before the third register line ends
    // in line 11, one cut inside that line in line 12.
    const auto third = saved.find("0xD\t0x46");
    EXPECT_EQ(Recall(saved.substr(0, third)).message(),
              "Recall failed, a.sav ends before \"}\" (line 11): no register written");
    EXPECT_EQ(Recall(saved.substr(0, third + 5)).message(),
              "Recall failed, a.sav ends before \"}\" (line 12): no register written");
    EXPECT_EQ(Recall("Kestrivo {").end(), RecallEnd::EndedInBlock);

    // Three or more digits are refused, in the pointer or the value, with
    // leading zeros or not; as any other bad line, even after good ones.
    for (const auto& [line, message] :
         {std::pair<std::string, const char*>{"0x24\t0x100",
                                              "line 3 holds 0x100, more than two hexadecimal "
                                              "digits"},
          {"0x24\t0x050", "line 3 holds 0x050, more than two hexadecimal digits"},
          {"0x124\t0x5", "line 3 holds 0x124, more than two hexadecimal digits"},
          {"0x0e 0xZZ", "line 3 is no register line"},
          {"0x 2 0x5", "line 3 is no register line"},
          {"0X9\t0x4", "line 3 is no register line"},
          {"0x9\t0x4 0x5", "line 3 is no register line"},
          {"0x90x4", "line 3 is no register line"},
          {"0x9\t0x4\r\r", "line 3 is no register line"},
          {"junk x21 and x3", "line 3 is no register line"},
          {std::string("0x\0\0\t0x80", 9), "line 3 is no register line"}}) {
        r = Recall("Kestrivo\r\n{\r\n" + line + "\r\n0x9\t0x4\r\n}\r\n");
        EXPECT_EQ(r.end(), RecallEnd::BadLine) << line;
        EXPECT_TRUE(r.writes.empty()) << line;
        EXPECT_EQ(r.blockFound, 0) << line;
        EXPECT_EQ(r.message(),
                  "Recall failed, a.sav " + std::string(message) + ": no register written");
    }
    r = Recall("{\n0x9\t0x4\n0xB\t0x55\n0x0e 0x\n}\n");
    EXPECT_EQ(r.result.block.line, 4);
    EXPECT_TRUE(r.writes.empty());

    // Random bytes with a "{" in them: nothing written, whatever they hold.
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int file = 0; file < 50; ++file) {
        std::string bytes(3000, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(byte(random));
        }
        bytes.replace(1000, 14, "{\n0x9\t0x4\n0xB ");
        r = Recall(bytes);
        EXPECT_NE(r.end(), RecallEnd::Closed) << file;
        EXPECT_TRUE(r.writes.empty()) << file;
    }
}

} // namespace
} // namespace qmt::files
