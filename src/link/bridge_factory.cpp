#include "link/bridge_factory.h"

#include "link/i2c_bridge.h"
#include "link/tarnlink_library.h"
#include "model/number_text.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <unistd.h>
#include <utility>

namespace qmt::link {

namespace {
constexpr std::string_view TarnlinkName = "tarnlink";
constexpr std::string_view I2cName = "i2c";

// The PATH of "NAME:PATH", if text has that form with a PATH.
std::optional<std::string> PathAfter(std::string_view name, std::string_view text) {
    if (text.size() > name.size() + 1 && text.starts_with(name) && text[name.size()] == ':') {
        return std::string(text.substr(name.size() + 1));
    }
    return std::nullopt;
}

} // namespace

std::optional<std::int32_t> ParseChipAddress(std::string_view text, std::string& error) {
    constexpr std::int32_t LargestAddress = 0x7F;
    const auto address = model::ParseNumberArgument(text);
    if (!address || *address < 0 || *address > LargestAddress) {
        error = "bad address '" + std::string(text) + "' (0 to 0x7F)";
        return std::nullopt;
    }
    return address;
}

bool ParseBridgeChoice(std::string_view text, BridgeChoice& choice, std::string& error) {
    choice.libraryPath.clear();
    choice.i2cDevice.clear();
    if (text == TarnlinkName) {
        return true;
    }
    if (auto path = PathAfter(TarnlinkName, text)) {
        choice.libraryPath = std::move(*path);
        return true;
    }
    if (auto device = PathAfter(I2cName, text)) {
        choice.i2cDevice = std::move(*device);
        return true;
    }
    error = "unknown bridge '" + std::string(text) +
            "' (use tarnlink, tarnlink:PATH or i2c:/dev/i2c-N)";
    return false;
}

std::string BoardFileProblem(const std::string& path) {
    if (::access(path.c_str(), R_OK) != 0) {
        return "cannot read board file '" + path + "'";
    }
    return {};
}

std::unique_ptr<Bridge> OpenBridge(const BridgeChoice& choice, std::string& error) {
    if (!choice.i2cDevice.empty()) {
        return I2cBridge::Open(MakeLinuxI2cSystem(), choice.i2cDevice, choice.force, std::cerr,
                               error);
    }
    if (!choice.boardFile.empty()) {
        // The emulated library reads its board description when the firmware loads.
        ::setenv("TARNLINK_BOARD", choice.boardFile.c_str(), 1);
    }
    return TarnlinkLibrary::Load(choice.libraryPath, error);
}

} // namespace qmt::link
