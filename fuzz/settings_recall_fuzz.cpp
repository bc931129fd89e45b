// Settings files are edited by hand and picked from any folder, so the recall
// parser must cope with any bytes at all: it never reads past the end, always
// finishes, and writes only registers that the file holds.
#include "files/settings_reader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// The bytes a register line may give: the two characters after every "x"
// that follows the first "{", read as the parser reads a byte.
std::array<bool, 256> BytesAfterAnX(std::string_view text) {
    std::array<bool, 256> seen{};
    const auto open = text.find('{');
    for (auto x = text.find('x', open);
         open != std::string_view::npos && x != std::string_view::npos; x = text.find('x', x + 1)) {
        qmt::files::SettingsReader reader(text.substr(x + 1));
        if (const auto byte = reader.ReadByte()) {
            if (*byte < 0 || *byte > 255) {
                __builtin_trap();
            }
            seen[static_cast<std::size_t>(*byte)] = true;
        }
    }
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::array<bool, 256> inFile = BytesAfterAnX(text);

    int blockFound = 0;
    int writes = 0;
    const auto result = qmt::files::RecallSettings(
        text, [&blockFound] { ++blockFound; },
        [&](std::int32_t address, std::int32_t value) {
            if (blockFound != 1 || address < 0 || address > 255 || value < 0 || value > 255 ||
                !inFile[static_cast<std::size_t>(address)] ||
                !inFile[static_cast<std::size_t>(value)]) {
                __builtin_trap();
            }
            ++writes;
        });

    const bool hasOpen = text.find('{') != std::string_view::npos;
    // Each line takes an "x" for its pointer and one for its value.
    const auto xs = static_cast<int>(std::count(text.begin(), text.end(), 'x'));
    if (result.written != writes || 2 * writes > xs || blockFound > 1 ||
        (result.end == qmt::files::RecallEnd::NoBlock) == hasOpen ||
        (result.end == qmt::files::RecallEnd::Closed &&
         text.find('}', text.find('{')) == std::string_view::npos)) {
        __builtin_trap();
    }
    return 0;
}
