#include "python/bridge_folder.h"

#include <dlfcn.h>
#include <filesystem>

namespace qmt::python {

namespace {

constexpr const char* BridgeLibraryName = "libTarnlink.so";

// The module's own file, found through one of its functions.
std::filesystem::path ModuleFile() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&BridgeFolder), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    std::error_code error;
    const auto file = std::filesystem::canonical(info.dli_fname, error);
    return error ? std::filesystem::path{} : file;
}

} // namespace

std::string BridgeFolder() {
    const auto folder = ModuleFile().parent_path();
    const auto buildBin = folder.parent_path() / "bin";
    std::error_code error;
    if (std::filesystem::exists(buildBin / BridgeLibraryName, error)) {
        return buildBin.string();
    }
    return (folder / QMT_INSTALLED_BRIDGE_FOLDER).lexically_normal().string();
}

} // namespace qmt::python
