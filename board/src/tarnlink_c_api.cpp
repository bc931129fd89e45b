// The two C functions of libTarnlink.so, over one emulated board per process.
#include "tarnlink_emulator.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#pragma GCC visibility push(default)
#include "tarnlink.h"
#pragma GCC visibility pop

namespace {

const std::chrono::steady_clock::time_point LibraryLoaded = std::chrono::steady_clock::now();

std::uint64_t MillisSinceLoad() {
    const auto elapsed = std::chrono::steady_clock::now() - LibraryLoaded;
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

// The C interface has no handle to carry state, so the board lives here; it
// is created by the first call and lives until the library is unloaded.
struct LibraryBoard {
    LibraryBoard() {
        const char* trace = std::getenv("TARNLINK_TRACE");
        if (trace != nullptr && !emulator.SetTracePath(trace)) {
            std::fprintf(stderr, "Tarnlink: cannot open trace file %s\n", trace);
        }
    }
    tarnlink::Emulator emulator{MillisSinceLoad};
};

tarnlink::Emulator& Board() {
    static LibraryBoard board;
    return board.emulator;
}

} // namespace

extern "C" int16_t LoadFirmWare(const char* path) {
    return Board().LoadFirmWare(path);
}

extern "C" int16_t VendorIORequest(uint16_t request, int32_t value, int32_t index, int16_t arg4,
                                   int16_t arg5, uint8_t* buffer) {
    return Board().VendorIORequest(request, value, index, arg4, arg5, buffer);
}
