#include "files/settings_file_format.h"

#include "model/number_text.h"

#include <algorithm>

namespace qmt::files {

namespace {

void AppendLine(std::string& text, std::string_view line) {
    text.append(line);
    text.append(LineEnd);
}

} // namespace

std::string CommentText(std::string_view comment) {
    std::string text(comment);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string SettingsFileHeader(std::string_view date, std::string_view time,
                               std::string_view comment) {
    std::string text;
    AppendLine(text, "Kestrivo");
    AppendLine(text, "QMT6171/3 Evaluation Software");
    AppendLine(text, "");
    AppendLine(text, "Saved: " + std::string(date) + " at " + std::string(time));
    AppendLine(text, "");
    AppendLine(text, "Comment : " + CommentText(comment));
    AppendLine(text, "");
    return text;
}

std::string RegisterLine(const SavedRegister& row) {
    return "0x" + model::HexText(row.writeAddress) + "\t0x" + model::HexText(row.value) + "\t // " +
           row.description;
}

std::string RegisterBlock(const std::vector<SavedRegister>& rows) {
    std::string text;
    AppendLine(text, "Address\tData\tRegister");
    AppendLine(text, "{");
    for (const SavedRegister& row : rows) {
        AppendLine(text, RegisterLine(row));
    }
    AppendLine(text, "}");
    return text;
}

} // namespace qmt::files
