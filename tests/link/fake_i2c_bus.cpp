#include "fake_i2c_bus.h"

#include <cstdio>

namespace qmt::test {

namespace {

constexpr int Descriptor = 7;

std::string Hex(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value));
    return text;
}

} // namespace

int FakeI2cSystem::Open(const std::string&) {
    if (bus_.openError != 0) {
        return -bus_.openError;
    }
    ++bus_.openDescriptors;
    return Descriptor;
}

void FakeI2cSystem::Close(int fd) {
    if (fd == Descriptor) {
        --bus_.openDescriptors;
    }
}

int FakeI2cSystem::Functions(int, unsigned long& functions) {
    if (bus_.functionsError != 0) {
        return -bus_.functionsError;
    }
    functions = bus_.functions;
    return 0;
}

int FakeI2cSystem::SelectAddress(int, int address, bool force) {
    bus_.calls.push_back((force ? "force " : "select ") + Hex(address));
    if (!force && bus_.busy.contains(address)) {
        return -EBUSY;
    }
    selected_ = address;
    return 0;
}

int FakeI2cSystem::Transfer() {
    if (bus_.transfersBeforeFailure >= 0 && transfers_++ >= bus_.transfersBeforeFailure) {
        return -bus_.failureErrno;
    }
    return bus_.chips.contains(selected_) ? 0 : -ENXIO;
}

int FakeI2cSystem::ReadByteData(int, std::uint8_t reg) {
    bus_.calls.push_back("read " + Hex(selected_) + " " + Hex(reg));
    const int result = Transfer();
    return result < 0 ? result : bus_.chips[selected_][reg];
}

int FakeI2cSystem::WriteByteData(int, std::uint8_t reg, std::uint8_t value) {
    bus_.calls.push_back("write " + Hex(selected_) + " " + Hex(reg) + " " + Hex(value));
    const int result = Transfer();
    if (result == 0) {
        bus_.chips[selected_][reg] = value;
    }
    return result;
}

} // namespace qmt::test
