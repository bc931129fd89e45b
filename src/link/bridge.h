#pragma once

#include <cstdint>
#include <string>

namespace qmt::link {

// Request statuses with a meaning shared by every bridge; any other non-zero
// status is a failure of the bridge's own.
inline constexpr std::int16_t StatusOk = 0;
// Nothing acknowledged the request's address, or the system keeps it for a
// driver of its own. The device search takes it as "no chip there"; anywhere
// else it is a failed transfer like any other non-zero status.
inline constexpr std::int16_t StatusNoAnswer = 6;

// The two calls of the USB-to-SMBus bridge library. Everything that talks to
// the chip goes through this seam, so tests can plug in a stub.
class Bridge {
public:
    virtual ~Bridge() = default;
    // Negative status: failure.
    virtual std::int16_t LoadFirmWare(const char* path) = 0;
    // Status 0: success.
    virtual std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value,
                                         std::int32_t index, std::int16_t arg4, std::int16_t arg5,
                                         std::uint8_t* buffer) = 0;
    // False for a bridge that has no firmware: its LoadFirmWare succeeds
    // without reading the file, and the start-up says so.
    virtual bool HasFirmware() const { return true; }
    // False for a register pointer the bridge cannot send to the chip. The
    // USB bridge sends any pointer as it is; a plain I2C adapter has one byte.
    virtual bool ReachesPointer(std::int32_t /*pointer*/) const { return true; }
    // False for an address that the device search must leave alone: the
    // evaluation board's bus carries only its chips, a PC's SMBus does not.
    virtual bool SearchMayProbe(std::int32_t /*address*/) const { return true; }
    // Why the last request failed, naming the device file, for the link
    // failure's message; empty when the bridge cannot tell (the USB bridge
    // library reports only a status).
    virtual std::string FailureDetail() const { return {}; }
};

} // namespace qmt::link
