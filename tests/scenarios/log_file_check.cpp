#include "scenarios/log_file_check.h"

#include <QFile>
#include <cmath>
#include <string_view>

namespace qmt::scenario {

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view Title = "QMT6171/3 Log File";

bool IsRunHead(const std::string& line) {
    return line.empty() || line == Title || line.starts_with("Time ,");
}

} // namespace

LogContents ReadLogFile(const QString& path, const std::string& readings) {
    QFile file(path);
    const std::string text = file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "";
    LogContents contents;
    contents.endsWhole = text.empty() || text.ends_with(LineEnd);
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find(LineEnd, start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        start = end + LineEnd.size();
        if (line == Title) {
            ++contents.runs;
        }
        if (IsRunHead(line)) {
            continue;
        }
        const auto comma = line.find(',');
        std::size_t parsed = 0;
        double time = -1.0;
        try {
            time = std::stod(line.substr(0, comma), &parsed);
        } catch (const std::exception&) {
            parsed = 0;
        }
        if (comma == std::string::npos || parsed != comma || line.substr(comma + 1) != readings) {
            contents.strayLines.push_back(line);
            continue;
        }
        contents.times.push_back(time);
    }
    return contents;
}

int MissingSteps(const std::vector<double>& times, double intervalSeconds) {
    int missing = 0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        const double steps = (times[i] - times[i - 1]) / intervalSeconds;
        const double whole = std::round(steps);
        if (whole < 1.0 || std::abs(steps - whole) > 1e-6) {
            return -1;
        }
        missing += static_cast<int>(whole) - 1;
    }
    return missing;
}

} // namespace qmt::scenario
