#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace qmt::link {

enum class LinkError : std::int16_t {
    FirmwareDownload = 0,  // "Firmware failed to download - Check USB connections"
    InitialConnection = 2, // "Initial Connection Failed - Check USB connections"
    Communications = 3,    // "Communications Interrupted - Check USB connections"
};

// The message shown for a link-error code.
std::string LinkErrorMessage(LinkError code);

// The one place link failures go. The GUI shows a message box and closes the
// program in order; the CLI prints the message and exits 3. Implementations
// are not expected to return; if one does (tests), the caller throws
// LinkFailure so that no code runs on after a failed request.
class LinkErrorHandler {
public:
    virtual ~LinkErrorHandler() = default;
    virtual void ReportLinkError(LinkError code) = 0;
    // Told just before a code when the caller knows what exactly failed (an
    // address where no chip answers, say); the code's message stays as it is.
    virtual void ExplainLinkError(const std::string& reason) { static_cast<void>(reason); }
    // Told just before a code when the bridge names the device file and why
    // its request failed (an I2C adapter).
    virtual void DescribeDeviceFailure(const std::string& detail) { static_cast<void>(detail); }
};

class LinkFailure : public std::runtime_error {
public:
    explicit LinkFailure(LinkError c) : std::runtime_error(LinkErrorMessage(c)), code(c) {}
    LinkError code;
};

} // namespace qmt::link
