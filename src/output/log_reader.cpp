#include "output/log_reader.h"

#include "model/number_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qmt::output {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view TimeHead = "Time";
constexpr std::size_t Remote1 = 1;
constexpr std::array<std::string_view, 3> ChannelNames{"Local", "Remote1", "Remote2"};

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A field without its blanks and without the quotes a spreadsheet may add.
std::string_view FieldText(std::string_view field) {
    field = Trimmed(field);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
        field = Trimmed(field.substr(1, field.size() - 2));
    }
    return field;
}

void SplitFields(std::string_view line, char separator, std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = line.find(separator, start);
        fields.push_back(FieldText(line.substr(start, comma - start)));
        if (comma == std::string_view::npos) {
            return;
        }
        start = comma + 1;
    }
}

bool AllEmpty(const std::vector<std::string_view>& fields, std::size_t from) {
    return std::all_of(fields.begin() + static_cast<std::ptrdiff_t>(std::min(from, fields.size())),
                       fields.end(), [](std::string_view f) { return f.empty(); });
}

// "Local(°C)" with the degree sign in any encoding, or just "Local".
std::size_t ChannelOfHead(std::string_view head) {
    const std::string_view name = Trimmed(head.substr(0, head.find('(')));
    for (std::size_t i = 0; i < ChannelNames.size(); ++i) {
        if (name == ChannelNames[i]) {
            return i;
        }
    }
    return ChannelNames.size();
}

// A number of a field; with a decimal comma (a spreadsheet that separates
// its fields by semicolons) the comma is read as the point.
std::optional<double> FieldNumber(std::string_view field, bool decimalComma) {
    if (!decimalComma || field.find(',') == std::string_view::npos) {
        return model::StrictDecimal(field);
    }
    constexpr std::size_t LongestNumber = 64;
    if (field.size() > LongestNumber) {
        return std::nullopt;
    }
    std::array<char, LongestNumber> text{};
    std::replace_copy(field.begin(), field.end(), text.begin(), ',', '.');
    return model::StrictDecimal({text.data(), field.size()});
}

} // namespace

void LogReader::Feed(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (afterCr_) {
            afterCr_ = false;
            if (bytes[pos] == '\n') {
                ++pos;
                continue;
            }
        }
        const std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            Append(bytes.substr(pos));
            return;
        }
        const std::string_view piece = bytes.substr(pos, end - pos);
        if (partial_.empty() && !partialTooLong_) {
            EndLine(piece);
        } else {
            Append(piece);
            EndLine(partial_);
        }
        afterCr_ = bytes[end] == '\r';
        pos = end + 1;
    }
}

void LogReader::Finish() {
    afterCr_ = false;
    if (!partial_.empty() || partialTooLong_) {
        EndLine(partial_);
    }
}

void LogReader::Append(std::string_view piece) {
    if (partialTooLong_) {
        return;
    }
    if (partial_.size() + piece.size() > MaxLineBytes) {
        partialTooLong_ = true;
        partial_.clear();
        return;
    }
    partial_ += piece;
}

void LogReader::EndLine(std::string_view line) {
    ++lineNumber_;
    const bool tooLong = partialTooLong_ || line.size() > MaxLineBytes;
    if (tooLong) {
        Damaged();
    } else {
        if (lineNumber_ == 1 && line.starts_with(ByteOrderMark)) {
            line.remove_prefix(ByteOrderMark.size());
        }
        ReadLine(line);
    }
    partial_.clear();
    partialTooLong_ = false;
}

void LogReader::ReadLine(std::string_view line) {
    // The program writes commas; a spreadsheet set to a decimal comma writes
    // semicolons between fields, and no log line holds a semicolon otherwise.
    decimalComma_ = line.find(';') != std::string_view::npos;
    SplitFields(line, decimalComma_ ? ';' : ',', fields_);
    if (AllEmpty(fields_, 0)) {
        return;
    }
    if (fields_[0] == LogTitle && AllEmpty(fields_, 1)) {
        // A new run begins; its data follows its own column heads.
        titleLine_ = lineNumber_;
        inRun_ = false;
        return;
    }
    const bool read = fields_[0] == TimeHead ? ReadHead(fields_) : ReadData(fields_);
    if (!read) {
        Damaged();
    }
}

bool LogReader::ReadHead(const std::vector<std::string_view>& fields) {
    inRun_ = false;
    LogChannels channels{};
    std::array<std::size_t, 3> columns{};
    std::size_t count = 0;
    for (std::size_t i = 1; i < fields.size(); ++i) {
        if (fields[i].empty()) {
            if (!AllEmpty(fields, i)) {
                return false;
            }
            break;
        }
        const std::size_t channel = ChannelOfHead(fields[i]);
        if (channel >= channels.size() || channels[channel]) {
            return false;
        }
        channels[channel] = true;
        columns[count++] = channel;
    }
    if (count == 0) {
        return false;
    }
    LogRun run;
    run.firstLine = titleLine_ != 0 ? titleLine_ : lineNumber_;
    run.channels = channels;
    runs_.push_back(std::move(run));
    titleLine_ = 0;
    columns_ = columns;
    columnCount_ = count;
    inRun_ = true;
    return true;
}

bool LogReader::ReadData(const std::vector<std::string_view>& fields) {
    if (!inRun_ || fields.size() < 1 + columnCount_ || !AllEmpty(fields, 1 + columnCount_)) {
        return false;
    }
    const std::optional<double> time = FieldNumber(fields[0], decimalComma_);
    if (!time) {
        return false;
    }
    constexpr double FloatMax = std::numeric_limits<float>::max();
    std::array<float, 3> values{};
    for (std::size_t c = 0; c < columnCount_; ++c) {
        const std::string_view field = fields[1 + c];
        if (field.empty()) {
            // Only Remote1 is ever left empty; anywhere else the line was cut.
            if (columns_[c] != Remote1) {
                return false;
            }
            values[c] = std::numeric_limits<float>::quiet_NaN();
            continue;
        }
        const std::optional<double> value = FieldNumber(field, decimalComma_);
        if (!value || std::abs(*value) > FloatMax) {
            return false;
        }
        values[c] = static_cast<float>(*value);
    }
    CheckTimeBreak(*time);
    LogRun& run = runs_.back();
    run.times.push_back(*time);
    for (std::size_t c = 0; c < columnCount_; ++c) {
        run.values[columns_[c]].push_back(values[c]);
    }
    return true;
}

void LogReader::CheckTimeBreak(double time) {
    const LogRun& run = runs_.back();
    if (run.times.empty()) {
        return;
    }
    const double interval = run.times.size() >= 2 ? run.times[1] - run.times[0] : 0.0;
    const double last = run.times.back();
    const bool jumped = interval > 0.0 && time - last > FarIntervals * interval;
    if (time >= last && !jumped) {
        return;
    }
    LogRun next;
    next.firstLine = lineNumber_;
    next.channels = run.channels;
    next.startsAtTimeBreak = true;
    next.start = time;
    runs_.push_back(std::move(next));
}

void LogReader::Damaged() {
    if (inRun_) {
        ++runs_.back().damagedLines;
    } else {
        ++damagedOutside_;
    }
}

std::int64_t LogReader::DamagedLines() const {
    std::int64_t total = damagedOutside_;
    for (const LogRun& run : runs_) {
        total += run.damagedLines;
    }
    return total;
}

LogReader ReadLog(std::string_view text) {
    LogReader reader;
    reader.Feed(text);
    reader.Finish();
    return reader;
}

} // namespace qmt::output
