#include "link/bridge_factory.h"

#include "link/tarnlink_library.h"

#include <cstdlib>

namespace qmt::link {

namespace {
constexpr std::string_view TarnlinkName = "tarnlink";
}

bool ParseBridgeChoice(std::string_view text, BridgeChoice& choice, std::string& error) {
    if (text == TarnlinkName) {
        choice.libraryPath.clear();
        return true;
    }
    if (text.starts_with(TarnlinkName) && text.size() > TarnlinkName.size() + 1 &&
        text[TarnlinkName.size()] == ':') {
        choice.libraryPath = std::string(text.substr(TarnlinkName.size() + 1));
        return true;
    }
    error = "unknown bridge '" + std::string(text) + "' (use tarnlink or tarnlink:PATH)";
    return false;
}

std::unique_ptr<Bridge> OpenBridge(const BridgeChoice& choice, std::string& error) {
    if (!choice.boardFile.empty()) {
        // The emulated library reads its board description when the firmware loads.
        ::setenv("TARNLINK_BOARD", choice.boardFile.c_str(), 1);
    }
    return TarnlinkLibrary::Load(choice.libraryPath, error);
}

} // namespace qmt::link
