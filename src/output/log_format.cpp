#include "output/log_format.h"

#include "model/number_text.h"

#include <cstddef>

namespace qmt::output {

namespace {

constexpr std::array<std::string_view, 3> ChannelHeads{"Local(\xB0"
                                                       "C) ,",
                                                       "Remote1(\xB0"
                                                       "C) ,",
                                                       "Remote2(\xB0"
                                                       "C) ,"};
constexpr std::size_t Remote1Index = 1;
constexpr double MsPerSecond = 1000.0;

} // namespace

std::string LogHeaderLine(const LogChannels& channels) {
    std::string line = "Time ,";
    for (std::size_t i = 0; i < channels.size(); ++i) {
        if (channels[i]) {
            line += ChannelHeads[i];
        }
    }
    return line;
}

std::string LogTimeField(std::int64_t lineCount, std::int32_t intervalMs) {
    // Whole milliseconds divided by 1000 already have three decimals at most.
    const std::int64_t elapsedMs = lineCount * std::int64_t{intervalMs};
    return model::PlainNumberTextTrimmed(static_cast<double>(elapsedMs) / MsPerSecond);
}

std::string LogDataLine(std::int64_t lineCount, std::int32_t intervalMs,
                        const LogChannels& channels, const LogReadings& readings) {
    const std::array<float, 3> values{readings.local, readings.remote1, readings.remote2};
    std::string line = LogTimeField(lineCount, intervalMs);
    line += ',';
    for (std::size_t i = 0; i < channels.size(); ++i) {
        if (!channels[i]) {
            continue;
        }
        if (i != Remote1Index || !readings.remote2Selected) {
            line += model::PlainNumberText(values[i]);
        }
        line += ',';
    }
    return line;
}

std::string LogRunHead(const LogChannels& channels) {
    std::string head;
    head += LogLineEnd;
    head += LogTitle;
    head += LogLineEnd;
    head += LogLineEnd;
    head += LogHeaderLine(channels);
    head += LogLineEnd;
    return head;
}

std::string LogHeaderLine(const GeneralStuff& state) {
    return LogHeaderLine(state.LogChannel);
}

std::string LogDataLine(const GeneralStuff& state) {
    return LogDataLine(
        state.LogLineCount, state.LoggingInterval, state.LogChannel,
        {state.LocalTemp, state.Remote1Temp, state.Remote2Temp, state.Remote2Selected});
}

} // namespace qmt::output
