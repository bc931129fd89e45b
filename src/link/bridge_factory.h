#pragma once

#include "link/bridge.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qmt::link {

// What --bridge, --board and --force say, shared by qmteval and qmtctl.
struct BridgeChoice {
    std::string libraryPath; // empty: libTarnlink.so looked up by name
    std::string boardFile;   // empty: the emulated board's own default
    std::string i2cDevice;   // set: the i2c-dev bridge on this device file
    bool force = false;      // i2c-dev: use addresses that kernel drivers own
};

// Parses "tarnlink", "tarnlink:PATH" or "i2c:DEVICE"; false with a one-line
// reason otherwise.
bool ParseBridgeChoice(std::string_view text, BridgeChoice& choice, std::string& error);

// The chip's SMBus address as --address gives it ("0x4D", "4Dh" or decimal,
// 0 to 0x7F); none with a one-line reason otherwise.
std::optional<std::int32_t> ParseChipAddress(std::string_view text, std::string& error);

// "cannot read board file 'PATH'" when the board file cannot be read, else
// empty. The file is not opened: opening a FIFO would wait for a writer that
// may never come.
std::string BoardFileProblem(const std::string& path);

// Opens the chosen bridge. A board file is handed to the emulated bridge
// through TARNLINK_BOARD before the library is loaded; the i2c-dev bridge
// writes its notices on standard error. Null with a one-line reason naming
// the library (and a missing symbol) or the device file on failure.
std::unique_ptr<Bridge> OpenBridge(const BridgeChoice& choice, std::string& error);

} // namespace qmt::link
