#pragma once

#include "link/bridge.h"
#include "link/i2c_system.h"

#include <bitset>
#include <iosfwd>
#include <memory>
#include <string>

namespace qmt::link {

// The chip on any Linux I2C/SMBus adapter (/dev/i2c-N), in place of the USB
// bridge library. There is no firmware; the connect request succeeds once
// the device is open; register reads (also the status poll) and writes are
// SMBus read/write byte data at the request's address.
//
// As the Linux I2C tools do, it never touches an address outside 0x08..0x77,
// and it leaves an address a kernel driver owns alone (one line on the
// notice stream) unless forced. Both, like a device that does not
// acknowledge, give StatusNoAnswer, which the device search takes as "no chip
// there"; any other failed transfer gives StatusTransferFailed.
class I2cBridge final : public Bridge {
public:
    static constexpr int LowestAddress = 0x08;
    static constexpr int HighestAddress = 0x77;
    static constexpr std::int16_t StatusTransferFailed = 1;
    static constexpr std::int16_t StatusUnknownRequest = 3;
    static constexpr std::int16_t StatusBadArguments = 4;
    static constexpr std::int16_t StatusNullBuffer = 5;

    // Opens the device file and checks that the adapter reads and writes
    // SMBus byte data. Null with a one-line reason naming the file otherwise.
    static std::unique_ptr<I2cBridge> Open(std::unique_ptr<I2cSystem> system,
                                           const std::string& device, bool force,
                                           std::ostream& notices, std::string& error);
    ~I2cBridge() override;
    I2cBridge(const I2cBridge&) = delete;
    I2cBridge& operator=(const I2cBridge&) = delete;

    std::int16_t LoadFirmWare(const char* path) override;
    std::int16_t VendorIORequest(std::uint16_t request, std::int32_t value, std::int32_t index,
                                 std::int16_t arg4, std::int16_t arg5,
                                 std::uint8_t* buffer) override;
    bool HasFirmware() const override { return false; }
    bool ReachesPointer(std::int32_t pointer) const override;
    // Not 30h to 37h: on a PC's SMBus the memory modules' SPD EEPROMs sit
    // there and take the search's command byte as a page or write-protect
    // command. A chip there is reached with --address.
    bool SearchMayProbe(std::int32_t address) const override;
    // "<device>: address 0xNN: <the system's reason>" after a transfer the
    // system failed; empty after any other request.
    std::string FailureDetail() const override { return failure_; }

private:
    I2cBridge(std::unique_ptr<I2cSystem> system, std::string device, int fd, bool force,
              std::ostream& notices);
    std::int16_t Read(std::int32_t address, std::int32_t pointer, std::uint8_t& byte);
    std::int16_t Write(std::int32_t address, std::int32_t index);
    std::int16_t Select(std::int32_t address);
    void NoteOnce(int address, const std::string& why);
    std::int16_t TransferFailed(std::int32_t address, int result);

    std::unique_ptr<I2cSystem> system_;
    std::string device_;
    int fd_;
    bool force_;
    std::ostream& notices_;
    int selected_ = -1;
    std::bitset<128> noted_;
    std::string failure_;
};

} // namespace qmt::link
