#include "cli/command_words.h"

#include <utility>

namespace qmt::cli {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Reads the quoted part that starts after `at` (the opening quote) into
// `word`; returns the index after the closing quote, or npos when none.
std::size_t TakeQuoted(std::string_view line, std::size_t at, std::string& word) {
    const char quote = line[at];
    for (std::size_t i = at + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == quote) {
            return i + 1;
        }
        const bool escaped = quote == '"' && c == '\\' && i + 1 < line.size() &&
                             (line[i + 1] == '"' || line[i + 1] == '\\');
        if (escaped) {
            ++i;
        }
        word += line[i];
    }
    return std::string_view::npos;
}

} // namespace

std::optional<std::vector<std::string>> SplitCommandWords(std::string_view line,
                                                          std::string& error) {
    std::vector<std::string> words;
    std::optional<std::string> word; // empty quotes make a word too
    const auto current = [&word]() -> std::string& {
        if (!word) {
            word.emplace();
        }
        return *word;
    };
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (IsBlank(c)) {
            if (word) {
                words.push_back(std::move(*word));
                word.reset();
            }
            ++i;
        } else if (c == '#' && !word) {
            break;
        } else if (c == '\'' || c == '"') {
            i = TakeQuoted(line, i, current());
            if (i == std::string_view::npos) {
                error = std::string("no closing ") + c + " quote";
                return std::nullopt;
            }
        } else if (c == '\\') {
            if (i + 1 == line.size()) {
                error = "a backslash ends the line";
                return std::nullopt;
            }
            current() += line[i + 1];
            i += 2;
        } else {
            current() += c;
            ++i;
        }
    }
    if (word) {
        words.push_back(std::move(*word));
    }
    return words;
}

} // namespace qmt::cli
