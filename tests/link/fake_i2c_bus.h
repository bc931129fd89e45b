#pragma once

#include "link/i2c_system.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <linux/i2c.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace qmt::test {

// A bus behind the i2c-dev bridge's system calls. Chips are register files
// by address; an address without one does not acknowledge (ENXIO). The bus
// records every call as text ("select 0x4C", "force 0x4C", "read 0x4C 0xFE",
// "write 0x4C 0x0A 0x84") and counts open descriptors.
struct FakeI2cBus {
    void AddChip(int address) { chips[address][0xFE] = 0x41; }

    std::map<int, std::array<std::uint8_t, 256>> chips;
    std::set<int> busy;     // owned by a kernel driver: EBUSY without force
    int openError = 0;      // errno of open(), 0: it opens
    int functionsError = 0; // errno of I2C_FUNCS, 0: it is an adapter
    unsigned long functions = I2C_FUNC_SMBUS_READ_BYTE_DATA | I2C_FUNC_SMBUS_WRITE_BYTE_DATA;
    int transfersBeforeFailure = -1; // then every transfer fails; -1: never
    int failureErrno = EIO;
    std::vector<std::string> calls;
    int openDescriptors = 0;
};

// The system calls on a FakeI2cBus the test keeps.
class FakeI2cSystem final : public link::I2cSystem {
public:
    explicit FakeI2cSystem(FakeI2cBus& bus) : bus_(bus) {}
    int Open(const std::string& path) override;
    void Close(int fd) override;
    int Functions(int fd, unsigned long& functions) override;
    int SelectAddress(int fd, int address, bool force) override;
    int ReadByteData(int fd, std::uint8_t reg) override;
    int WriteByteData(int fd, std::uint8_t reg, std::uint8_t value) override;

private:
    // 0 if the transfer reaches a chip, else -errno.
    int Transfer();
    FakeI2cBus& bus_;
    int selected_ = -1;
    int transfers_ = 0;
};

} // namespace qmt::test
