#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qmt::cli {

// The words of one command line as a POSIX shell splits them, without its
// expansions: blanks separate words; '...' keeps everything literally;
// "..." keeps everything but \" and \\, which stand for " and \; a
// backslash outside quotes keeps the next character; a # that starts a word
// starts a comment. None, with the reason in `error`, for a quote that is
// not closed or a backslash that ends the line.
std::optional<std::vector<std::string>> SplitCommandWords(std::string_view line,
                                                          std::string& error);

} // namespace qmt::cli
