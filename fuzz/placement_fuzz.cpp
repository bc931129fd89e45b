// The placement file lives in the user's configuration and may hold
// anything, so its reader must cope with any bytes and always give a usable
// placement; and storing a placement into whatever is there must give an
// INI text that holds the placement's keys.
#include "scratch_folder.h"
#include "shell/placement_file_text.h"
#include "shell/placement_settings.h"

#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

bool Usable(double value, double lowest) {
    return std::isfinite(value) && value >= lowest && value <= 1.0e6;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder("placement_fuzz");
    static const std::string path = folder.path + "/placement.conf";
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    const qmt::shell::Placement placement = qmt::shell::ReadPlacement(QString::fromStdString(path));
    if (!Usable(placement.left, -1.0e6) || !Usable(placement.top, -1.0e6) ||
        !Usable(placement.width, 1.0) || !Usable(placement.height, 1.0)) {
        __builtin_trap();
    }
    const std::string stored =
        qmt::shell::SetIniValues(text, "Settings", {{"MainLeft", "1"}, {"MainTop", "2"}});
    if (stored.find("\nMainLeft=1\n") == std::string::npos && !stored.starts_with("MainLeft=1\n")) {
        __builtin_trap();
    }
    return 0;
}
