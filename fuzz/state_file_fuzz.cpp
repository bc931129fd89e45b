// The board's state file is rewritten by every process that shares it and
// may be edited by hand, so its reader must cope with any bytes; and what it
// accepts must store and load back to the same registers.
#include "chip_state.h"
#include "scratch_folder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

namespace {

std::map<std::uint8_t, std::uint8_t> Merged(const tarnlink::RegisterValues& values) {
    return {values.begin(), values.end()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder("state_file_fuzz");
    static const std::string path = folder.path + "/chip.state";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const tarnlink::ChipStateFile file(path);
    tarnlink::RegisterValues loaded;
    std::string error;
    if (!file.Load(loaded, error)) {
        if (error.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    tarnlink::RegisterValues again;
    if (!file.Store({}, error) || !file.Load(again, error) || Merged(again) != Merged(loaded)) {
        __builtin_trap();
    }
    return 0;
}
