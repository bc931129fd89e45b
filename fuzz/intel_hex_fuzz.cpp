// Any file can be handed to the firmware download, so the record checker must
// cope with any bytes at all and explain every refusal.
#include "intel_hex.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const tarnlink::HexCheck check = tarnlink::CheckIntelHex(text);
    // Text in memory is always readable; every data byte takes two digits.
    if (check.ok != check.reason.empty() || !check.readable || check.dataBytes > size / 2) {
        __builtin_trap();
    }
    return 0;
}
