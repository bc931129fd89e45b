#pragma once

#include "model/general_stuff.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The bytes of the data log. The file is 8-bit text (the degree sign is the
// single byte 0xB0, as spreadsheets read it with a Western European character
// set), lines end in CR LF, and every column ends in a comma.
namespace qmt::output {

inline constexpr std::string_view LogLineEnd = "\r\n";
inline constexpr std::string_view LogTitle = "QMT6171/3 Log File";

// Which columns a run has: index 0 Local, 1 Remote1, 2 Remote2.
using LogChannels = std::array<bool, 3>;

// What one data line shows.
struct LogReadings {
    float local = 0.0f;
    float remote1 = 0.0f;
    float remote2 = 0.0f;
    // The shared remote registers show Remote 2: nothing of Remote 1 was read.
    bool remote2Selected = false;
};

// "Time ," and the head of each logged channel, e.g. "Time ,Local(°C) ,".
std::string LogHeaderLine(const LogChannels& channels);

// The nominal time of line number lineCount (0 for the first) in seconds,
// without a blank: 0, .1, 1.25. Worked out in 64 bits, so runs longer than
// 24.8 days keep their true times.
std::string LogTimeField(std::int64_t lineCount, std::int32_t intervalMs);

// The time field, then each logged temperature with its sign column, each
// followed by a comma: "0, 25, 30.25,-1.75,". While the shared registers show
// Remote 2 the Remote1 column stays empty, since no Remote 1 reading exists.
std::string LogDataLine(std::int64_t lineCount, std::int32_t intervalMs,
                        const LogChannels& channels, const LogReadings& readings);

// The head of a run with its line ends: empty line, title, empty line, column heads.
std::string LogRunHead(const LogChannels& channels);

// The same from the program-wide state: its channels, line count, interval and readings.
std::string LogHeaderLine(const GeneralStuff& state);
std::string LogDataLine(const GeneralStuff& state);

} // namespace qmt::output
