#include "link/i2c_bridge.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <linux/i2c.h>
#include <ostream>
#include <utility>

namespace qmt::link {

namespace {

constexpr std::uint16_t StatusPollRequest = 220;
constexpr std::uint16_t ConnectRequest = 221;
constexpr std::uint16_t RegisterRequest = 222;
constexpr std::int32_t ConnectValue = 48;
constexpr std::int32_t ConnectIndex = 51;
constexpr std::int32_t LargestPointer = 0xFF;
constexpr std::int32_t LargestWriteIndex = 0xFFFF;
constexpr unsigned long ByteDataFunctions =
    I2C_FUNC_SMBUS_READ_BYTE_DATA | I2C_FUNC_SMBUS_WRITE_BYTE_DATA;

std::string AddressText(int address) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(address));
    return text;
}

std::string OpenFailure(const std::string& device, int error) {
    std::string reason = "cannot open " + device + ": " + std::strerror(error);
    if (error == ENOENT) {
        reason += " (is the i2c-dev module loaded?)";
    } else if (error == EACCES || error == EPERM) {
        reason += " (is your user in the i2c group?)";
    }
    return reason;
}

// What a failed transfer means. A device that does not acknowledge its
// address shows as one of these, depending on the adapter's driver.
std::int16_t TransferStatus(int result) {
    switch (-result) {
    case ENXIO:
    case EREMOTEIO:
    case EIO:
    case ETIMEDOUT:
    case EAGAIN:
        return StatusNoAnswer;
    default:
        return I2cBridge::StatusTransferFailed;
    }
}

} // namespace

std::unique_ptr<I2cBridge> I2cBridge::Open(std::unique_ptr<I2cSystem> system,
                                           const std::string& device, bool force,
                                           std::ostream& notices, std::string& error) {
    const int fd = system->Open(device);
    if (fd < 0) {
        error = OpenFailure(device, -fd);
        return nullptr;
    }
    unsigned long functions = 0;
    if (const std::string problem = system->DeviceProblem(fd); !problem.empty()) {
        error = device + " is refused: " + problem;
    } else if (system->Functions(fd, functions) < 0) {
        error = device + " is not an I2C adapter";
    } else if ((functions & ByteDataFunctions) != ByteDataFunctions) {
        error = device + ": the adapter cannot read and write SMBus byte data";
    } else {
        error.clear();
        return std::unique_ptr<I2cBridge>(
            new I2cBridge(std::move(system), device, fd, force, notices));
    }
    system->Close(fd);
    return nullptr;
}

I2cBridge::I2cBridge(std::unique_ptr<I2cSystem> system, std::string device, int fd, bool force,
                     std::ostream& notices)
    : system_(std::move(system)), device_(std::move(device)), fd_(fd), force_(force),
      notices_(notices) {}

I2cBridge::~I2cBridge() {
    system_->Close(fd_);
}

std::int16_t I2cBridge::LoadFirmWare(const char*) {
    return StatusOk;
}

std::int16_t I2cBridge::VendorIORequest(std::uint16_t request, std::int32_t value,
                                        std::int32_t index, std::int16_t arg4, std::int16_t arg5,
                                        std::uint8_t* buffer) {
    failure_.clear();
    if (buffer == nullptr) {
        return StatusNullBuffer;
    }
    const bool readArguments = arg4 == 1 && arg5 == 1;
    const bool plainArguments = arg4 == 0 && arg5 == 0;
    switch (request) {
    case ConnectRequest:
        // The device was opened with the bridge; nothing more to connect.
        return value == ConnectValue && index == ConnectIndex && plainArguments
                   ? StatusOk
                   : StatusBadArguments;
    case StatusPollRequest:
        return readArguments ? Read(value, index, *buffer) : StatusBadArguments;
    case RegisterRequest:
        if (readArguments) {
            return Read(value, index, *buffer);
        }
        return plainArguments ? Write(value, index) : StatusBadArguments;
    default:
        return StatusUnknownRequest;
    }
}

bool I2cBridge::SearchMayProbe(std::int32_t address) const {
    constexpr std::int32_t FirstSpdAddress = 0x30;
    constexpr std::int32_t LastSpdAddress = 0x37;
    return address < FirstSpdAddress || address > LastSpdAddress;
}

bool I2cBridge::ReachesPointer(std::int32_t pointer) const {
    return pointer >= 0 && pointer <= LargestPointer;
}

std::int16_t I2cBridge::Read(std::int32_t address, std::int32_t pointer, std::uint8_t& byte) {
    if (!ReachesPointer(pointer)) {
        return StatusBadArguments;
    }
    if (const auto status = Select(address); status != StatusOk) {
        return status;
    }
    const int result = system_->ReadByteData(fd_, static_cast<std::uint8_t>(pointer));
    if (result < 0) {
        return TransferFailed(address, result);
    }
    byte = static_cast<std::uint8_t>(result);
    return StatusOk;
}

// The index carries the value in its high byte and the pointer in its low one.
std::int16_t I2cBridge::Write(std::int32_t address, std::int32_t index) {
    if (index < 0 || index > LargestWriteIndex) {
        return StatusBadArguments;
    }
    if (const auto status = Select(address); status != StatusOk) {
        return status;
    }
    const int result = system_->WriteByteData(fd_, static_cast<std::uint8_t>(index & 0xFF),
                                              static_cast<std::uint8_t>(index >> 8));
    return result < 0 ? TransferFailed(address, result) : StatusOk;
}

std::int16_t I2cBridge::Select(std::int32_t address) {
    if (address < LowestAddress || address > HighestAddress) {
        if (address >= 0 && address < static_cast<int>(noted_.size())) {
            NoteOnce(address, "is reserved on the bus; not used");
        }
        return StatusNoAnswer;
    }
    if (address == selected_) {
        return StatusOk;
    }
    const int result = system_->SelectAddress(fd_, address, force_);
    if (result == -EBUSY) {
        NoteOnce(address, "is in use by a kernel driver; left alone (--force overrides)");
        return StatusNoAnswer;
    }
    if (result < 0) {
        TransferFailed(address, result);
        return StatusTransferFailed;
    }
    selected_ = address;
    return StatusOk;
}

std::int16_t I2cBridge::TransferFailed(std::int32_t address, int result) {
    failure_ = device_ + ": address " + AddressText(address) + ": " + std::strerror(-result);
    return TransferStatus(result);
}

void I2cBridge::NoteOnce(int address, const std::string& why) {
    const auto bit = static_cast<std::size_t>(address);
    if (!noted_.test(bit)) {
        noted_.set(bit);
        notices_ << device_ << ": address " << AddressText(address) << ' ' << why << '\n';
    }
}

} // namespace qmt::link
