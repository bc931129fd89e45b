// Logs are picked from any folder and may have been through a spreadsheet or
// cut off by a full disk, so the reader must cope with any bytes at all: it
// always finishes, reads the same however the bytes are split into pieces,
// and every run it returns is whole.
#include "output/log_reader.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

using qmt::output::LogReader;
using qmt::output::LogRun;

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool SameValues(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

void CheckRun(const LogRun& run, std::int64_t linesSeen) {
    Check(run.firstLine >= 1 && run.firstLine <= linesSeen);
    Check(run.damagedLines >= 0);
    Check(std::any_of(run.channels.begin(), run.channels.end(), [](bool c) { return c; }));
    for (const double t : run.times) {
        Check(std::isfinite(t));
    }
    for (std::size_t c = 0; c < run.channels.size(); ++c) {
        Check(run.values[c].size() == (run.channels[c] ? run.Lines() : 0));
        for (const float v : run.values[c]) {
            // Only Remote1 may lack a value.
            Check(std::isfinite(v) || (c == 1 && std::isnan(v)));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const LogReader whole = qmt::output::ReadLog(text);

    LogReader pieces;
    pieces.Feed(text.substr(0, size / 3));
    pieces.Feed(text.substr(size / 3, size / 3));
    pieces.Feed(text.substr(2 * (size / 3)));
    pieces.Finish();

    const auto lineEnds = static_cast<std::int64_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }));
    Check(whole.LinesSeen() <= lineEnds + 1);
    Check(pieces.LinesSeen() == whole.LinesSeen());
    Check(pieces.DamagedLines() == whole.DamagedLines());
    Check(pieces.Runs().size() == whole.Runs().size());
    std::int64_t dataLines = 0;
    for (std::size_t r = 0; r < whole.Runs().size(); ++r) {
        const LogRun& run = whole.Runs()[r];
        const LogRun& other = pieces.Runs()[r];
        CheckRun(run, whole.LinesSeen());
        Check(other.firstLine == run.firstLine && other.channels == run.channels &&
              other.times == run.times && other.damagedLines == run.damagedLines);
        for (std::size_t c = 0; c < run.values.size(); ++c) {
            Check(SameValues(run.values[c], other.values[c]));
        }
        dataLines += static_cast<std::int64_t>(run.Lines());
    }
    Check(dataLines + whole.DamagedLines() <= whole.LinesSeen());
    return 0;
}
