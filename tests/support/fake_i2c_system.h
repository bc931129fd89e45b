#pragma once

#include "link/i2c_system.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <linux/i2c.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace qmt::test {

inline std::string Hex(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value));
    return text;
}

// A bus behind the bridge's system calls. Chips are register files by address; an address
// without one does not acknowledge (ENXIO). Every call is recorded as text.
struct FakeI2cBus {
    std::map<int, std::array<std::uint8_t, 256>> chips;
    std::set<int> busy;              // owned by a kernel driver: EBUSY without force
    int transfersBeforeFailure = -1; // then every transfer fails with failureErrno
    int failureErrno = EIO;
    std::vector<std::string> calls;
};

class FakeI2cSystem final : public link::I2cSystem {
public:
    explicit FakeI2cSystem(FakeI2cBus& bus) : bus_(bus) {}
    int Open(const std::string&) override { return 7; }
    void Close(int) override {}
    std::string DeviceProblem(int) override { return {}; }
    int Functions(int, unsigned long& functions) override {
        functions = I2C_FUNC_SMBUS_READ_BYTE_DATA | I2C_FUNC_SMBUS_WRITE_BYTE_DATA;
        return 0;
    }
    int SelectAddress(int, int address, bool force) override {
        bus_.calls.push_back((force ? "force " : "select ") + Hex(address));
        if (!force && bus_.busy.contains(address)) {
            return -EBUSY;
        }
        selected_ = address;
        return 0;
    }
    int ReadByteData(int, std::uint8_t reg) override {
        bus_.calls.push_back("read " + Hex(selected_) + " " + Hex(reg));
        const int result = Transfer();
        return result < 0 ? result : bus_.chips[selected_][reg];
    }
    int WriteByteData(int, std::uint8_t reg, std::uint8_t value) override {
        bus_.calls.push_back("write " + Hex(selected_) + " " + Hex(reg) + " " + Hex(value));
        const int result = Transfer();
        if (result == 0) {
            bus_.chips[selected_][reg] = value;
        }
        return result;
    }

private:
    int Transfer() {
        if (bus_.transfersBeforeFailure >= 0 && transfers_++ >= bus_.transfersBeforeFailure) {
            return -bus_.failureErrno;
        }
        return bus_.chips.contains(selected_) ? 0 : -ENXIO;
    }
    FakeI2cBus& bus_;
    int selected_ = -1;
    int transfers_ = 0;
};

} // namespace qmt::test
