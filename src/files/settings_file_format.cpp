#include "files/settings_file_format.h"

#include "model/number_text.h"

#include <QString>
#include <algorithm>
#include <cctype>

namespace qmt::files {

namespace {

void AppendLine(std::string& text, std::string_view line) {
    text.append(line);
    text.append(LineEnd);
}

} // namespace

std::string FileBytes(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
        .toLatin1()
        .toStdString();
}

std::string CommentText(std::string_view comment) {
    std::string text(comment);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return FileBytes(std::string_view(text).substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string SettingsFileHeader(std::string_view date, std::string_view time,
                               std::string_view comment) {
    std::string text;
    AppendLine(text, "Kestrivo");
    AppendLine(text, "QMT6171/3 Evaluation Software");
    AppendLine(text, "");
    AppendLine(text, "Saved: " + FileBytes(date) + " at " + FileBytes(time));
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

std::string TimeFormatWithSeconds(std::string_view format) {
    std::string text(format);
    const auto minutes = text.find("mm");
    if (text.find('s') != std::string::npos || minutes == std::string::npos) {
        return text;
    }
    const char before = minutes > 0 ? text[minutes - 1] : ':';
    // A letter or a quote there belongs to the format's own notation.
    const bool separator = before != '\'' && !std::isalpha(static_cast<unsigned char>(before));
    text.insert(minutes + 2, std::string(1, separator ? before : ':') + "ss");
    return text;
}

} // namespace qmt::files
