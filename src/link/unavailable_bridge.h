#pragma once

#include "link/bridge.h"

#include <string>
#include <utility>

namespace qmt::link {

// Stands in for a bridge that could not be opened, so that the user sees the
// link-error message and the program ends in order. A bridge library fails
// its firmware download, as one that refuses its firmware; an i2c-dev device
// has no firmware, so it fails to connect instead, with the reason the
// device file could not be opened as its failure's detail.
class UnavailableBridge final : public link::Bridge {
public:
    explicit UnavailableBridge(bool hasFirmware = true, std::string detail = {})
        : hasFirmware_(hasFirmware), detail_(std::move(detail)) {}

    std::int16_t LoadFirmWare(const char*) override { return hasFirmware_ ? -1 : 0; }
    std::int16_t VendorIORequest(std::uint16_t, std::int32_t, std::int32_t, std::int16_t,
                                 std::int16_t, std::uint8_t*) override {
        return 1;
    }
    bool HasFirmware() const override { return hasFirmware_; }
    std::string FailureDetail() const override { return detail_; }

private:
    bool hasFirmware_;
    std::string detail_;
};

} // namespace qmt::link
