#pragma once

#include "link/bridge.h"
#include "link/link_error.h"
#include "link/usb_stuff.h"
#include "model/general_stuff.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qmt::link {

// Told after every update of the remote channel selection (start-up and each
// write at 0x09), so that open windows relabel their channels. The
// application installs one listener that relabels the graph, then the limits.
class RemoteSelectionListener {
public:
    virtual ~RemoteSelectionListener() = default;
    virtual void RemoteSelectionChanged(bool remote2Selected) = 0;
};

// Told after every write of a limit register (or of the THERM hysteresis),
// whoever made it, so that views of the limits know they are stale without
// polling the chip.
class LimitWriteListener {
public:
    virtual ~LimitWriteListener() = default;
    virtual void LimitRegisterWritten(std::int32_t reg) = 0;
};

// Single-register read and write, the only way to the chip besides the status
// poll. Any non-zero status goes to the link-error handler.
class RegisterAccess {
public:
    // WriteRegister's status when it refuses a value before it reaches the bridge.
    static constexpr std::int16_t WriteRefused = -1;

    RegisterAccess(Bridge& bridge, USBStuff& usb, GeneralStuff& state, LinkErrorHandler& errors);

    // 0..255; a failed request never comes back.
    std::int16_t ReadRegister(std::int32_t address, std::int32_t reg);
    // ReadRegister for the device search: nothing when no device answers at
    // the address (StatusNoAnswer); every other failure is a link failure.
    std::optional<std::int16_t> ProbeRegister(std::int32_t address, std::int32_t reg);
    // Values above 255 are written as 255, also in the caller's variable.
    // Negative values, and pointers outside 0 to 0xFF, are refused with
    // WriteRefused and never reach the bridge.
    std::int16_t WriteRegister(std::int32_t address, std::int32_t reg, std::int32_t& value);
    // Status poll of a status register (request 220): the register's byte, or
    // nothing when the request fails. A failed poll is not a link failure.
    std::optional<std::uint8_t> PollStatusRegister(std::int32_t reg);

    // Refreshes ExtendedRange and Remote2Selected after a write at 0x09.
    void UpdateRemoteSelection(std::int32_t address);
    void SetRemoteSelectionListener(RemoteSelectionListener* listener) { listener_ = listener; }
    void SetLimitWriteListener(LimitWriteListener* listener) { limitListener_ = listener; }

    // Hands the code (after the reason, if any) to the handler; throws
    // LinkFailure if the handler returns.
    [[noreturn]] void ReportLinkError(LinkError code, const std::string& reason = {});
    // ReportLinkError right after a request the bridge failed: the bridge's
    // detail of that failure, if it has one, goes to the handler first.
    [[noreturn]] void ReportFailedRequest(LinkError code);

    Bridge& bridge() { return bridge_; }
    USBStuff& usb() { return usb_; }
    GeneralStuff& state() { return state_; }

private:
    Bridge& bridge_;
    USBStuff& usb_;
    GeneralStuff& state_;
    LinkErrorHandler& errors_;
    RemoteSelectionListener* listener_ = nullptr;
    LimitWriteListener* limitListener_ = nullptr;
};

} // namespace qmt::link
