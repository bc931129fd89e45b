// Settings files are edited by hand and picked from any folder, so the recall
// parser must cope with any bytes at all: it never reads past the end, always
// finishes, writes nothing unless the whole block is sound, and then only
// bytes that the file's lines hold.
#include "files/settings_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Writes = std::vector<std::pair<std::int32_t, std::int32_t>>;

void Check(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const qmt::files::SettingsBlock block = qmt::files::ReadSettingsBlock(text);

    int blockFound = 0;
    Writes writes;
    const auto result = qmt::files::RecallSettings(
        text, [&blockFound] { ++blockFound; },
        [&](std::int32_t address, std::int32_t value) {
            Check(blockFound == 1 && address >= 0 && address <= 255 && value >= 0 && value <= 255);
            writes.emplace_back(address, value);
        });

    const bool closed = block.end == qmt::files::RecallEnd::Closed;
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    Check(result.block.end == block.end && result.block.line == block.line);
    Check((block.end == qmt::files::RecallEnd::NoBlock) ==
          (text.find('{') == std::string_view::npos));
    Check(block.end == qmt::files::RecallEnd::NoBlock || (block.line >= 1 && block.line <= lines));
    Check(!closed || text.find('}', text.find('{')) != std::string_view::npos);
    // Each line takes two "x", one for its pointer and one for its value.
    const auto xs = static_cast<std::size_t>(std::count(text.begin(), text.end(), 'x'));
    Check(2 * block.lines.size() <= xs);
    // A damaged block writes nothing; a sound one its lines, 0x24 moved last.
    Check(blockFound == (closed ? 1 : 0) && result.written == static_cast<int>(writes.size()));
    Writes expected;
    if (closed) {
        for (const auto& line : block.lines) {
            expected.emplace_back(line.address, line.value);
        }
        std::stable_partition(expected.begin(), expected.end(),
                              [](const auto& write) { return write.first != 0x24; });
    }
    Check(writes == expected);
    return 0;
}
