#include "link/i2c_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

extern "C" {
#include <i2c/smbus.h>
#include <linux/i2c-dev.h>
}

namespace qmt::link {

namespace {

// The kernel's major number of the i2c-dev character devices.
constexpr unsigned I2cDevMajor = 89;

int ErrnoResult(int result) {
    return result < 0 ? -errno : result;
}

class LinuxI2cSystem final : public I2cSystem {
public:
    int Open(const std::string& path) override {
        return ErrnoResult(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    }
    void Close(int fd) override { ::close(fd); }
    std::string DeviceProblem(int fd) override {
        struct stat info {};
        if (::fstat(fd, &info) != 0) {
            return std::strerror(errno);
        }
        if (!S_ISCHR(info.st_mode)) {
            return "not a character device";
        }
        if (major(info.st_rdev) != I2cDevMajor) {
            return "not an i2c-dev device (major " + std::to_string(major(info.st_rdev)) +
                   ", not " + std::to_string(I2cDevMajor) + ")";
        }
        return {};
    }
    int Functions(int fd, unsigned long& functions) override {
        return ErrnoResult(::ioctl(fd, I2C_FUNCS, &functions));
    }
    int SelectAddress(int fd, int address, bool force) override {
        return ErrnoResult(::ioctl(fd, force ? I2C_SLAVE_FORCE : I2C_SLAVE, address));
    }
    // libi2c already gives -errno.
    int ReadByteData(int fd, std::uint8_t reg) override {
        return i2c_smbus_read_byte_data(fd, reg);
    }
    int WriteByteData(int fd, std::uint8_t reg, std::uint8_t value) override {
        return i2c_smbus_write_byte_data(fd, reg, value);
    }
};

} // namespace

std::unique_ptr<I2cSystem> MakeLinuxI2cSystem() {
    return std::make_unique<LinuxI2cSystem>();
}

} // namespace qmt::link
