// Board files are written by hand and named by an environment variable, so the
// parser must cope with any bytes at all, and a board it accepts must give
// the chips usable temperatures at any moment.
#include "board_config.h"
#include "register_layout.h"
#include "temperature_source.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void CheckSource(const tarnlink::TemperatureSource& source) {
    for (const double seconds : {0.0, 0.001, 1.0, 59.5, 3600.0, 1e9}) {
        if (std::isnan(tarnlink::TemperatureAt(source, seconds))) {
            __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    tarnlink::BoardConfig board;
    std::string error;
    if (!tarnlink::ParseBoardText(text, board, error)) {
        if (error.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    if (board.addresses.empty()) {
        __builtin_trap();
    }
    for (const std::uint8_t address : board.addresses) {
        if (address > 0x7F) {
            __builtin_trap();
        }
    }
    for (const auto& [pointer, value] : board.registerValues) {
        const tarnlink::reg::RegisterInfo& info = tarnlink::reg::Registers()[pointer];
        if (!info.exists || info.measured) {
            __builtin_trap();
        }
    }
    CheckSource(board.local);
    CheckSource(board.remote1);
    CheckSource(board.remote2);
    return 0;
}
