#include "shell/placement_file_text.h"

#include <algorithm>

namespace qmt::shell {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view Blanks = " \t\r";

std::string_view Trimmed(std::string_view text) {
    if (text.starts_with(ByteOrderMark)) {
        text.remove_prefix(ByteOrderMark.size());
    }
    const auto first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

bool IsSectionLine(std::string_view line) {
    const std::string_view text = Trimmed(line);
    return text.starts_with('[') && text.ends_with(']');
}

std::string_view KeyOf(std::string_view line) {
    const auto equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view{} : Trimmed(line.substr(0, equals));
}

class Writer {
public:
    Writer(std::string_view section, const IniValues& values)
        : section_("[" + std::string(section) + "]"), values_(values),
          written_(values.size(), false) {}

    void Line(std::string_view line) {
        if (IsSectionLine(line)) {
            LeaveSection();
            inSection_ = Trimmed(line) == section_;
            seenSection_ = seenSection_ || inSection_;
            Keep(line);
            return;
        }
        const auto value = inSection_ ? Find(KeyOf(line)) : values_.end();
        if (value == values_.end()) {
            Keep(line);
            return;
        }
        const auto index = static_cast<std::size_t>(value - values_.begin());
        if (!written_[index]) {
            Set(index);
        }
    }

    std::string Finish() {
        LeaveSection();
        if (!seenSection_) {
            if (!text_.empty() && !text_.ends_with('\n')) {
                text_ += '\n';
            }
            text_ += section_ + '\n';
            inSection_ = true;
            LeaveSection();
        }
        return std::move(text_);
    }

private:
    IniValues::const_iterator Find(std::string_view key) const {
        return std::find_if(values_.begin(), values_.end(), [key](const auto& value) {
            return !key.empty() && value.first == key;
        });
    }

    void Keep(std::string_view line) {
        text_ += line;
        text_ += '\n';
    }

    void Set(std::size_t index) {
        text_ += values_[index].first + '=' + values_[index].second + '\n';
        written_[index] = true;
    }

    void LeaveSection() {
        if (!inSection_) {
            return;
        }
        for (std::size_t i = 0; i < values_.size(); ++i) {
            if (!written_[i]) {
                Set(i);
            }
        }
        inSection_ = false;
    }

    std::string section_;
    const IniValues& values_;
    std::vector<bool> written_;
    std::string text_;
    bool inSection_ = false;
    bool seenSection_ = false;
};

} // namespace

std::string SetIniValues(std::string_view old, std::string_view section, const IniValues& values) {
    Writer writer(section, values);
    while (!old.empty()) {
        const auto end = old.find('\n');
        writer.Line(old.substr(0, end));
        old = end == std::string_view::npos ? std::string_view{} : old.substr(end + 1);
    }
    return writer.Finish();
}

} // namespace qmt::shell
