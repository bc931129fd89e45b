#pragma once

#include "link/bridge.h"

#include <memory>
#include <string>
#include <string_view>

namespace qmt::link {

// What --bridge and --board say, shared by qmteval and qmtctl.
struct BridgeChoice {
    std::string libraryPath; // empty: libTarnlink.so looked up by name
    std::string boardFile;   // empty: the emulated board's own default
};

// Parses "tarnlink" or "tarnlink:PATH"; false with a one-line reason otherwise.
bool ParseBridgeChoice(std::string_view text, BridgeChoice& choice, std::string& error);

// Opens the chosen bridge. A board file is handed to the emulated bridge
// through TARNLINK_BOARD before the library is loaded. Null with a reason
// naming the library (and a missing symbol) on failure.
std::unique_ptr<Bridge> OpenBridge(const BridgeChoice& choice, std::string& error);

} // namespace qmt::link
