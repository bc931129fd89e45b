#include "link/tarnlink_library.h"

#include "link/executable_folder.h"

#include <dlfcn.h>
#include <filesystem>

namespace qmt::link {

namespace {

constexpr const char* LibraryName = "libTarnlink.so";

std::string LastDlError() {
    const char* text = dlerror();
    return text != nullptr ? text : "unknown error";
}

// Beside the executable if it is there, else wherever the system's library
// path finds it.
std::string DefaultLibraryPath() {
    const auto folder = ExecutableFolder();
    if (!folder.empty()) {
        const auto beside = std::filesystem::path(folder) / LibraryName;
        std::error_code error;
        if (std::filesystem::exists(beside, error)) {
            return beside.string();
        }
    }
    return LibraryName;
}

template <typename Fn> Fn Resolve(void* handle, const char* name) {
    dlerror();
    return reinterpret_cast<Fn>(dlsym(handle, name));
}

} // namespace

std::unique_ptr<TarnlinkLibrary> TarnlinkLibrary::Load(const std::string& libraryPath,
                                                       std::string& error) {
    const auto path = libraryPath.empty() ? DefaultLibraryPath() : libraryPath;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        error = "cannot load " + path + ": " + LastDlError();
        return nullptr;
    }
    const auto missing = [&](const char* symbol) {
        error = path + " lacks " + symbol + ": " + LastDlError();
        dlclose(handle);
        return nullptr;
    };
    const auto load = Resolve<LoadFn>(handle, "LoadFirmWare");
    if (load == nullptr) {
        return missing("LoadFirmWare");
    }
    const auto request = Resolve<RequestFn>(handle, "VendorIORequest");
    if (request == nullptr) {
        return missing("VendorIORequest");
    }
    error.clear();
    return std::unique_ptr<TarnlinkLibrary>(new TarnlinkLibrary(handle, load, request));
}

TarnlinkLibrary::TarnlinkLibrary(void* handle, LoadFn load, RequestFn request)
    : handle_(handle), load_(load), request_(request) {}

TarnlinkLibrary::~TarnlinkLibrary() {
    dlclose(handle_);
}

std::int16_t TarnlinkLibrary::LoadFirmWare(const char* path) {
    return load_(path);
}

std::int16_t TarnlinkLibrary::VendorIORequest(std::uint16_t request, std::int32_t value,
                                              std::int32_t index, std::int16_t arg4,
                                              std::int16_t arg5, std::uint8_t* buffer) {
    return request_(request, value, index, arg4, arg5, buffer);
}

} // namespace qmt::link
