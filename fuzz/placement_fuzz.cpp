// The placement file lives in the user's configuration and may hold
// anything, so its reader must cope with any bytes and always give a usable
// placement; and storing a placement into whatever is there must give an
// INI text that holds the placement's keys.
#include "app/placement_file_text.h"
#include "app/placement_settings.h"

#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// A folder of its own for the run, gone again at the end.
struct Folder {
    Folder() {
        if (::mkdtemp(path.data()) == nullptr) {
            std::abort();
        }
    }
    ~Folder() { std::filesystem::remove_all(path); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    std::string path = "/tmp/placement_fuzz-XXXXXX";
};

bool Usable(double value, double lowest) {
    return std::isfinite(value) && value >= lowest && value <= 1.0e6;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Folder folder;
    static const std::string path = folder.path + "/placement.conf";
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    const qmt::app::Placement placement = qmt::app::ReadPlacement(QString::fromStdString(path));
    if (!Usable(placement.left, -1.0e6) || !Usable(placement.top, -1.0e6) ||
        !Usable(placement.width, 1.0) || !Usable(placement.height, 1.0)) {
        __builtin_trap();
    }
    const std::string stored =
        qmt::app::SetIniValues(text, "Settings", {{"MainLeft", "1"}, {"MainTop", "2"}});
    if (stored.find("\nMainLeft=1\n") == std::string::npos && !stored.starts_with("MainLeft=1\n")) {
        __builtin_trap();
    }
    return 0;
}
