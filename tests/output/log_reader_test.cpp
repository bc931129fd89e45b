#include "output/log_file_load.h"
#include "output/log_format.h"
#include "output/log_reader.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace qmt::output {
namespace {

constexpr LogChannels All{true, true, true};

// Line i of a run: readings that change with every line.
LogReadings Readings(int i, bool remote2Selected = false) {
    const auto f = static_cast<float>(i);
    return {25.0f + 0.25f * f, -1.75f * f, 0.5f - f, remote2Selected};
}

// A run as the writer writes it.
std::string WrittenRun(const LogChannels& channels, int lines, std::int32_t intervalMs,
                       bool remote2Selected = false) {
    std::string text = LogRunHead(channels);
    for (int i = 0; i < lines; ++i) {
        text += LogDataLine(i, intervalMs, channels, Readings(i, remote2Selected));
        text += LogLineEnd;
    }
    return text;
}

// The run holds every line's time and the logged channels' readings.
void ExpectWrittenRun(const LogRun& run, const LogChannels& channels, int lines,
                      std::int32_t intervalMs) {
    EXPECT_EQ(run.channels, channels);
    ASSERT_EQ(run.Lines(), static_cast<std::size_t>(lines));
    EXPECT_EQ(run.damagedLines, 0);
    for (std::size_t c = 0; c < 3; ++c) {
        ASSERT_EQ(run.values[c].size(), channels[c] ? run.Lines() : 0u);
    }
    for (std::size_t line = 0; line < run.Lines(); ++line) {
        const LogReadings r = Readings(static_cast<int>(line));
        EXPECT_DOUBLE_EQ(run.times[line], static_cast<double>(line) * intervalMs / 1000.0);
        EXPECT_TRUE(!channels[0] || run.values[0][line] == r.local);
        EXPECT_TRUE(!channels[1] || run.values[1][line] == r.remote1 ||
                    std::isnan(run.values[1][line]));
        EXPECT_TRUE(!channels[2] || run.values[2][line] == r.remote2);
    }
}

// The way a spreadsheet saves the file: LF, UTF-8 degree signs.
std::string AsSpreadsheetSavesIt(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c == '\r' ? "" : c == '\xB0' ? "\xC2\xB0" : std::string(1, c);
    }
    return out;
}

TEST(LogReader, RoundTripsEveryChannelSubsetAndAppendedRuns) {
    for (int mask = 1; mask < 8; ++mask) {
        const LogChannels channels{(mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0};
        for (const bool remote2Selected : {false, true}) {
            SCOPED_TRACE(testing::Message() << "mask " << mask << " remote2 " << remote2Selected);
            const LogReader reader = ReadLog(WrittenRun(channels, 25, 250, remote2Selected));
            ASSERT_EQ(reader.Runs().size(), 1u);
            ExpectWrittenRun(reader.Runs()[0], channels, 25, 250);
            const std::vector<float>& remote1 = reader.Runs()[0].values[1];
            EXPECT_EQ(!remote1.empty() && std::isnan(remote1[3]), channels[1] && remote2Selected);
        }
    }
    // A run stopped before its first line is still a run, of no lines.
    const LogReader reader = ReadLog(WrittenRun(All, 10, 100) + LogRunHead({true, false, false}) +
                                     WrittenRun({true, true, false}, 4, 10));
    ASSERT_EQ(reader.Runs().size(), 3u);
    EXPECT_EQ(reader.Runs()[1].Lines(), 0u);
    ExpectWrittenRun(reader.Runs()[2], {true, true, false}, 4, 10);
    // Each run: an empty line, its title, an empty line, heads, data.
    EXPECT_EQ(reader.Runs()[0].firstLine, 2);
    EXPECT_EQ(reader.Runs()[2].firstLine, 14 + 4 + 2);
    EXPECT_EQ(reader.LinesSeen(), 14 + 4 + 8);
}

TEST(LogReader, ReadsWhatSpreadsheetsWriteBack) {
    const LogReader lf = ReadLog("\xEF\xBB\xBF" + AsSpreadsheetSavesIt(WrittenRun(All, 6, 100)));
    ASSERT_EQ(lf.Runs().size(), 1u);
    ExpectWrittenRun(lf.Runs()[0], All, 6, 100);

    // Rewritten numbers, quotes, padding commas, old Mac CR line ends, no title,
    // columns moved, a degree sign lost on the way.
    const LogReader reader = ReadLog("Sheet export,,,\r,,,,\r"
                                     "\"Time\",\"Remote2(?C)\",Local(\xEF\xBF\xBD"
                                     "C),,\r0.0,28.5,25.00,,\r0.1,\"-0.75\",+25,,\r"
                                     "1E-1 , 1e1 ,-.5\r");
    EXPECT_EQ(reader.DamagedOutsideRuns(), 1); // the sheet's own first line
    ASSERT_EQ(reader.Runs().size(), 1u);
    const LogRun& run = reader.Runs()[0];
    EXPECT_EQ(run.channels, (LogChannels{true, false, true}));
    EXPECT_EQ(run.times, (std::vector<double>{0.0, 0.1, 0.1}));
    EXPECT_EQ(run.values[0], (std::vector<float>{25.0f, 25.0f, -0.5f}));
    EXPECT_EQ(run.values[2], (std::vector<float>{28.5f, -0.75f, 10.0f}));

    // Saved with a decimal comma: semicolons between the fields.
    const LogReader comma = ReadLog("QMT6171/3 Log File;;\n;;\nTime ;Local(\xC2\xB0"
                                    "C) ;Remote1(\xC2\xB0"
                                    "C) ;\n0;25,25;-0,75;\n0,1;\"25\";;\n0,2;25,5;1,2,3;\n");
    ASSERT_EQ(comma.Runs().size(), 1u);
    EXPECT_EQ(comma.Runs()[0].values[0], (std::vector<float>{25.25f, 25.0f}));
    EXPECT_EQ(comma.Runs()[0].values[1][0], -0.75f);
    EXPECT_EQ(comma.DamagedLines(), 1); // "1,2,3" is no number
}

TEST(LogReader, DamagedAndTruncatedLinesAreSkippedAndCounted) {
    std::string text = WrittenRun(All, 3, 100);
    text += ".3, 25, 30.25,\r\n";          // a column short
    text += ".4, 25, 3O.25, 28.5,\r\n";    // a letter O for a zero
    text += ".5, 25, 30.25, 28.5, 7,\r\n"; // a column too many
    text += "nan, 25, 30.25, 28.5,\r\n";
    text += ".6, 1e39, 30.25, 28.5,\r\n"; // no single-precision value
    text.append(LogReader::MaxLineBytes + 10, '1').append("\r\n");
    text += ".7, 25, 30.25, 28.5,\r\n";
    text += "Time ,Local(\xB0"
            "C) ,Fan(\xB0"
            "C) ,\r\n0, 25, 26,\r\n"; // heads of no run: what follows belongs to none
    text += WrittenRun({true, false, false}, 2, 100) + "1"; // cut off while being written
    const LogReader reader = ReadLog(text);
    ASSERT_EQ(reader.Runs().size(), 2u);
    EXPECT_EQ(reader.Runs()[0].Lines(), 4u);
    EXPECT_EQ(reader.Runs()[0].damagedLines, 6);
    EXPECT_DOUBLE_EQ(reader.Runs()[0].times.back(), 0.7);
    EXPECT_EQ(reader.DamagedOutsideRuns(), 2);
    EXPECT_EQ(reader.Runs()[1].damagedLines, 1);

    // Data before any heads, duplicated heads and heads without a channel.
    const LogReader noHeads = ReadLog("0, 25,\nTime ,Local ,Local ,\nTime ,\n1, 2,\n");
    EXPECT_TRUE(noHeads.Runs().empty());
    EXPECT_EQ(noHeads.DamagedOutsideRuns(), 4);
}

TEST(LogReader, ATimeThatGoesBackOrJumpsFarStartsANewRun) {
    // Line 31 of 300 has a damaged time far ahead; a gap of 50 intervals is
    // a stretch of failed writes and stays in its run.
    std::string text = LogRunHead(All);
    for (int i = 0; i < 300; ++i) {
        const int at = i < 200 ? i : i + 50;
        std::string line = LogDataLine(at, 100, All, Readings(i));
        if (i == 30) {
            line = "99999" + line.substr(line.find(','));
        }
        text += line + std::string(LogLineEnd);
    }
    // Logging started again without heads: the time starts over.
    for (int i = 0; i < 5; ++i) {
        text += LogDataLine(i, 1000, All, Readings(i)) + std::string(LogLineEnd);
    }
    const LogReader reader = ReadLog(text);
    ASSERT_EQ(reader.Runs().size(), 4u);
    const LogRun& before = reader.Runs()[0];
    EXPECT_EQ(before.Lines(), 30u);
    EXPECT_FALSE(before.startsAtTimeBreak);
    const LogRun& jump = reader.Runs()[1];
    EXPECT_TRUE(jump.startsAtTimeBreak);
    EXPECT_EQ(jump.firstLine, 5 + 30); // the heads are line 4
    EXPECT_EQ(jump.Lines(), 1u);
    EXPECT_DOUBLE_EQ(jump.Duration(), 0.0);
    const LogRun& after = reader.Runs()[2];
    EXPECT_TRUE(after.startsAtTimeBreak && after.channels == All);
    ASSERT_EQ(after.Lines(), 269u);
    EXPECT_DOUBLE_EQ(after.start, 3.1);
    EXPECT_DOUBLE_EQ(after.Duration(), 29.9 + 5.0 - 3.1);
    EXPECT_EQ(after.values[0][0], Readings(31).local);
    const LogRun& again = reader.Runs()[3];
    EXPECT_EQ(again.Lines(), 5u);
    EXPECT_DOUBLE_EQ(again.Duration(), 4.0);
    EXPECT_EQ(reader.DamagedLines(), 0);
}

TEST(LogReader, PiecesOfAnySizeReadLikeTheWhole) {
    // Splits fall inside CR LF pairs, numbers and the over-long line.
    const std::string text = WrittenRun(All, 40, 100) +
                             std::string(LogReader::MaxLineBytes + 1, 'x') + "\r\n" +
                             AsSpreadsheetSavesIt(WrittenRun({false, true, false}, 40, 10, true));
    const LogReader whole = ReadLog(text);
    std::mt19937 random(15);
    for (int round = 0; round < 50; ++round) {
        LogReader pieces;
        for (std::size_t at = 0, size = 0; at < text.size(); at += size) {
            size = std::uniform_int_distribution<std::size_t>(0, 64)(random);
            pieces.Feed(std::string_view(text).substr(at, size));
        }
        pieces.Finish();
        ASSERT_EQ(pieces.Runs().size(), 2u);
        EXPECT_EQ(pieces.Runs()[0].values[2], whole.Runs()[0].values[2]);
        EXPECT_EQ(pieces.Runs()[1].Lines(), 40u);
        EXPECT_EQ(pieces.DamagedLines(), 1);
    }
}

TEST(LogFileLoad, ReportsWhatCannotBeRead) {
    QTemporaryDir folder;
    EXPECT_FALSE(LogFileLoad(folder.filePath("empty.csv").toStdString()).Ok());
    LogFileLoad directory(folder.path().toStdString());
    EXPECT_FALSE(directory.Ok());
    EXPECT_FALSE(directory.Step());
}

} // namespace
} // namespace qmt::output
