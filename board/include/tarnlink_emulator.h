// The emulated evaluation board (USB-to-SMBus bridge plus QMT6171/2/3 chips)
// as a C++ object, for tests that drive it in-process with their own clock.
// libTarnlink.so wraps one instance of it behind the two C functions of tarnlink.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tarnlink {

// Vendor requests the bridge understands.
inline constexpr std::uint16_t RequestStatusPoll = 220; // read one register
inline constexpr std::uint16_t RequestConnect = 221;    // value 48, index 51
inline constexpr std::uint16_t RequestRegister = 222;   // read (1, 1) or write (0, 0)

// Statuses of VendorIORequest.
inline constexpr std::int16_t StatusOk = 0;
inline constexpr std::int16_t StatusUnplugged = 1;      // the board stopped answering
inline constexpr std::int16_t StatusNotConnected = 2;   // no firmware or no connect yet
inline constexpr std::int16_t StatusUnknownRequest = 3; // request code not known
inline constexpr std::int16_t StatusBadArguments = 4;   // arg4/arg5 or connect values wrong
inline constexpr std::int16_t StatusNoBuffer = 5;       // null buffer

// Statuses of LoadFirmWare.
inline constexpr std::int16_t FirmwareOk = 0;
inline constexpr std::int16_t FirmwareUnreadable = -1; // null path, missing or unreadable
inline constexpr std::int16_t FirmwareMalformed = -2;  // not well-formed Intel HEX
inline constexpr std::int16_t FirmwareBadBoard = -3;   // board description rejected
inline constexpr std::int16_t FirmwareRefused = -4;    // board says `firmware = fail`

class BridgeEmulator;

class Emulator {
public:
    // Milliseconds since some fixed start; must never go backwards.
    using MillisClock = std::function<std::uint64_t()>;

    // Without a clock: the steady clock, counted from construction.
    explicit Emulator(MillisClock clock = {});
    ~Emulator();
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;
    Emulator(Emulator&&) noexcept;
    Emulator& operator=(Emulator&&) noexcept;

    // Takes the board description (the text a TARNLINK_BOARD file holds). It
    // is applied, and the chips powered on, by the next LoadFirmWare. False
    // with a one-line reason on error; the previous description then stays.
    // Once text was given here, LoadFirmWare no longer looks at TARNLINK_BOARD.
    bool LoadBoardText(std::string_view text, std::string& error);

    // Checks the Intel HEX file, then reads TARNLINK_BOARD (or takes the
    // default board) unless LoadBoardText was used, and power-cycles the
    // board: chips back to their power-on registers, connection dropped,
    // request counters reset. Negative on failure (see Firmware* above), with
    // the reason on standard error and in LastError().
    std::int16_t LoadFirmWare(const char* path);

    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5, std::uint8_t* buffer);

    // Appends one line per call to the file (empty path: no trace). False if
    // the file cannot be opened; tracing is then off.
    bool SetTracePath(const std::string& path);

    // Reason of the last failed LoadFirmWare, empty after a successful one.
    const std::string& LastError() const;

private:
    std::unique_ptr<BridgeEmulator> impl_;
};

} // namespace tarnlink
