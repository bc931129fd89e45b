#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The placement file's text: INI lines as QSettings reads them. Storing the
// placement rewrites only its own keys, so whatever else the user keeps in
// the file stays as it was.
namespace qmt::shell {

using IniValues = std::vector<std::pair<std::string, std::string>>;

// `old` with each key of `values` set in `section`: the first line of the
// key there is replaced, later ones dropped, missing ones added at the
// section's end, and the section added at the end of the text if it is missing.
std::string SetIniValues(std::string_view old, std::string_view section, const IniValues& values);

} // namespace qmt::shell
