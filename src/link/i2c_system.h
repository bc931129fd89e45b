#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qmt::link {

// The system calls of the i2c-dev bridge, behind an interface so that tests
// run the bridge on a fake bus. Failures come back as -errno.
class I2cSystem {
public:
    virtual ~I2cSystem() = default;
    // A descriptor, or -errno. The open never waits and never makes the
    // file a controlling terminal, whatever the path turns out to be.
    virtual int Open(const std::string& path) = 0;
    virtual void Close(int fd) = 0;
    // Empty when the open file is an i2c-dev device; else why not, in a few
    // words. Asked before any ioctl: a mistyped path (/dev/watchdog) must
    // not see one.
    virtual std::string DeviceProblem(int fd) = 0;
    // The adapter's I2C_FUNCS bits; -errno if the file is no I2C adapter.
    virtual int Functions(int fd, unsigned long& functions) = 0;
    // I2C_SLAVE, or I2C_SLAVE_FORCE for an address a kernel driver owns.
    virtual int SelectAddress(int fd, int address, bool force) = 0;
    // The byte read, or -errno.
    virtual int ReadByteData(int fd, std::uint8_t reg) = 0;
    virtual int WriteByteData(int fd, std::uint8_t reg, std::uint8_t value) = 0;
};

// The kernel's i2c-dev interface through libi2c.
std::unique_ptr<I2cSystem> MakeLinuxI2cSystem();

} // namespace qmt::link
