#pragma once

#include "link/bridge.h"

#include <memory>
#include <string>

namespace qmt::link {

// The bridge library loaded at run time. With no path it is looked up by its
// name libTarnlink.so, first beside the executable, then on the system's
// library path.
class TarnlinkLibrary final : public Bridge {
public:
    // Null with a reason naming the library (and the missing symbol) on failure.
    static std::unique_ptr<TarnlinkLibrary> Load(const std::string& libraryPath,
                                                 std::string& error);
    ~TarnlinkLibrary() override;
    TarnlinkLibrary(const TarnlinkLibrary&) = delete;
    TarnlinkLibrary& operator=(const TarnlinkLibrary&) = delete;

    std::int16_t LoadFirmWare(const char* path) override;
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override;

private:
    using LoadFn = std::int16_t (*)(const char*);
    using RequestFn = std::int16_t (*)(std::uint16_t, std::int32_t, std::int32_t, std::int16_t,
                                       std::int16_t, std::uint8_t*);
    TarnlinkLibrary(void* handle, LoadFn load, RequestFn request);
    void* handle_;
    LoadFn load_;
    RequestFn request_;
};

} // namespace qmt::link
