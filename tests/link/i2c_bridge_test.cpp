#include "link/i2c_bridge.h"
#include "link/i2c_system.h"
#include "link_rig.h"
#include "support/fake_i2c_system.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <gtest/gtest.h>
#include <linux/i2c.h>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace qmt::test {
namespace {

using link::I2cBridge;
using link::LinkError;
using link::LinkFailure;

// The whole device link on the i2c-dev bridge over a fake bus.
struct I2cRig {
    explicit I2cRig(const std::vector<int>& chipAddresses = {}, bool force = false) {
        for (const int address : chipAddresses) {
            bus.chips[address][0xFE] = 0x41;
        }
        bridge = I2cBridge::Open(std::make_unique<FakeI2cSystem>(bus), "/dev/i2c-1", force, notices,
                                 error);
        link = std::make_unique<LinkRig<link::Bridge&>>(*bridge);
    }
    FakeI2cBus bus;
    std::ostringstream notices;
    std::string error;
    std::unique_ptr<I2cBridge> bridge;
    std::unique_ptr<LinkRig<link::Bridge&>> link;
};

// The search's calls from one address to another; it leaves 0x30 to 0x37,
// where a PC's memory modules keep their SPD EEPROMs, alone.
std::vector<std::string> SearchCalls(int from, int to) {
    std::vector<std::string> calls;
    for (int address = from; address <= to; ++address) {
        if (address >= 0x30 && address <= 0x37) {
            continue;
        }
        calls.insert(calls.end(), {"select " + Hex(address), "read " + Hex(address) + " 0xFE"});
    }
    return calls;
}

TEST(I2cBridge, SearchFrom0x18SkipsBusyAddressesAndRequestsBecomeByteData) {
    I2cRig rig({0x4C, 0x4D, 0x4E});
    rig.bus.busy = {0x1A, 0x4C};      // a driver already owns the chip at 0x4C
    rig.bus.chips[0x20][0xFE] = 0x54; // another kind of device
    rig.bus.chips[0x4D][0x03] = 0x84;
    rig.link->Run();
    EXPECT_EQ(rig.link->usb.DeviceAddress, 0x4D);
    std::vector<std::string> searched = SearchCalls(0x18, 0x4D);
    std::erase(searched, "read 0x1A 0xFE");
    std::erase(searched, "read 0x4C 0xFE");
    EXPECT_EQ(rig.bus.calls, searched);
    EXPECT_EQ(rig.notices.str(),
              "/dev/i2c-1: address 0x1A is in use by a kernel driver; left alone (--force "
              "overrides)\n"
              "/dev/i2c-1: address 0x4C is in use by a kernel driver; left alone (--force "
              "overrides)\n");

    // The address is selected once, by the search.
    rig.bus.calls.clear();
    EXPECT_EQ(rig.link->access.ReadRegister(0x4D, 0x03), 0x84);
    std::int32_t value = 0x3F;
    EXPECT_EQ(rig.link->access.WriteRegister(0x4D, 0x0A, value), 0);
    EXPECT_EQ(rig.bus.calls, (std::vector<std::string>{"read 0x4D 0x03", "write 0x4D 0x0A 0x3F"}));

    I2cRig forced({0x4C}, true);
    forced.bus.busy = {0x4C};
    forced.link->Run();
    EXPECT_EQ(forced.link->usb.DeviceAddress, 0x4C);
    EXPECT_EQ(forced.bus.calls.back(), "read 0x4C 0xFE");
    EXPECT_EQ(forced.bus.calls[forced.bus.calls.size() - 2], "force 0x4C");

    // Every address from 0x18 to 0x4E, and no further, but for the memory
    // modules' SPD EEPROMs at 0x30 to 0x37.
    I2cRig none;
    EXPECT_THROW(none.link->Run(), LinkFailure);
    EXPECT_EQ(none.link->errors.codes, std::vector{LinkError::InitialConnection});
    EXPECT_EQ(none.bus.calls, SearchCalls(0x18, 0x4E));
    EXPECT_EQ(std::count(none.bus.calls.begin(), none.bus.calls.end(), "select 0x33"), 0);

    // A chip there is found when --address names it.
    I2cRig given({0x33});
    given.link->options.fixedAddress = 0x33;
    given.link->Run();
    EXPECT_EQ(given.link->usb.DeviceAddress, 0x33);
    EXPECT_EQ(given.bus.calls, (std::vector<std::string>{"select 0x33", "read 0x33 0xFE"}));
}

// The USB bridge's enumeration wait and connect pause follow its firmware
// download; an adapter without firmware goes straight to the search. The
// splash's reading pauses stay in the program and go in qmtctl.
TEST(I2cBridge, StartsWithoutTheUsbBridgesWaits) {
    I2cRig rig({0x4C});
    rig.link->Run();
    EXPECT_EQ(rig.link->progress.stages,
              (std::vector<std::string>{
                  "No bridge firmware to download, no enumeration to wait for", "Connecting...",
                  "Searching for QMT6171/2/3 on USB...", "Found an QMT6171/2/3 at 4Ch"}));
    EXPECT_EQ(rig.link->progress.barWidths, (std::vector<double>{0, 50 * 48, 76 * 48, 4935}));
    EXPECT_EQ(rig.link->clock.ElapsedMs(), 1000 + 2000);

    I2cRig tool({0x4C});
    tool.link->options.skipReadingPauses = true;
    tool.link->Run();
    EXPECT_EQ(tool.link->usb.DeviceAddress, 0x4C);
    EXPECT_EQ(tool.link->clock.ElapsedMs(), 0);
}

TEST(I2cBridge, NoAnswerOnlyMeansNoChipDuringTheSearch) {
    // After the search any failed transfer, a chip that stops acknowledging included,
    // ends the run as a communications failure.
    for (const int failure : {EIO, ENXIO}) {
        I2cRig rig({0x18});
        rig.bus.transfersBeforeFailure = 1; // the search's read
        rig.bus.failureErrno = failure;
        rig.link->Run();
        EXPECT_THROW(rig.link->access.ReadRegister(0x18, 0x00), LinkFailure) << failure;
        std::int32_t value = 1;
        EXPECT_THROW(rig.link->access.WriteRegister(0x18, 0x09, value), LinkFailure) << failure;
        EXPECT_EQ(rig.link->errors.codes,
                  (std::vector{LinkError::Communications, LinkError::Communications}));
    }
    // An adapter that goes away during the search is not "no chip there".
    I2cRig lost;
    lost.bus.transfersBeforeFailure = 3;
    lost.bus.failureErrno = ENODEV;
    EXPECT_THROW(lost.link->Run(), LinkFailure);
    EXPECT_EQ(lost.link->errors.codes, std::vector{LinkError::Communications});
    EXPECT_EQ(lost.bus.calls.back(), "read 0x1B 0xFE");
}

// A failed transfer is reported with the device file, the address and the
// system's reason; the search's unanswered probes before it leave none behind.
TEST(I2cBridge, AFailedTransferNamesTheDeviceAndTheReason) {
    I2cRig rig({0x4C});
    rig.link->Run();
    EXPECT_TRUE(rig.link->errors.details.empty());
    rig.bus.transfersBeforeFailure = 0;
    rig.bus.failureErrno = EIO;
    EXPECT_THROW(rig.link->access.ReadRegister(0x4C, 0x00), LinkFailure);
    EXPECT_EQ(rig.link->errors.details,
              std::vector<std::string>{"/dev/i2c-1: address 0x4C: Input/output error"});
    EXPECT_EQ(rig.bridge->FailureDetail(), "/dev/i2c-1: address 0x4C: Input/output error");

    // A request that fails without the system (an odd request) has nothing to add.
    std::uint8_t byte = 0;
    EXPECT_NE(rig.bridge->VendorIORequest(999, 0x4C, 0, 1, 1, &byte), link::StatusOk);
    EXPECT_EQ(rig.bridge->FailureDetail(), "");

    // An adapter lost during the search.
    I2cRig lost;
    lost.bus.transfersBeforeFailure = 3;
    lost.bus.failureErrno = ENODEV;
    EXPECT_THROW(lost.link->Run(), LinkFailure);
    EXPECT_EQ(lost.link->errors.details,
              std::vector<std::string>{"/dev/i2c-1: address 0x1B: No such device"});
}

TEST(I2cBridge, NeverTouchesReservedAddressesOrOddRequests) {
    I2cRig rig({0x4C});
    std::uint8_t byte = 0;
    for (const std::int32_t address : {0x00, 0x07, 0x78, 0x7F, -1, 0x14C}) {
        EXPECT_EQ(rig.bridge->VendorIORequest(222, address, 0xFE, 1, 1, &byte),
                  link::StatusNoAnswer)
            << address;
    }
    EXPECT_EQ(rig.bridge->VendorIORequest(222, 0x4C, 256, 1, 1, &byte),
              I2cBridge::StatusBadArguments);
    // Which the register map asks before it reads, rather than lose the link.
    EXPECT_TRUE(rig.bridge->ReachesPointer(0xFF));
    EXPECT_FALSE(rig.bridge->ReachesPointer(0x3E8));
    EXPECT_FALSE(rig.bridge->ReachesPointer(-1));
    // The first and last usable addresses do reach the bus.
    for (const std::int32_t address : {0x08, 0x77}) {
        rig.bridge->VendorIORequest(222, address, 0xFE, 1, 1, &byte);
    }
    EXPECT_EQ(rig.bus.calls, (std::vector<std::string>{"select 0x08", "read 0x08 0xFE",
                                                       "select 0x77", "read 0x77 0xFE"}));
    EXPECT_EQ(rig.notices.str(), "/dev/i2c-1: address 0x00 is reserved on the bus; not used\n"
                                 "/dev/i2c-1: address 0x07 is reserved on the bus; not used\n"
                                 "/dev/i2c-1: address 0x78 is reserved on the bus; not used\n"
                                 "/dev/i2c-1: address 0x7F is reserved on the bus; not used\n");
}

// The system's own calls, with every ioctl the bridge asks for counted.
class CountingI2cSystem final : public link::I2cSystem {
public:
    explicit CountingI2cSystem(int& ioctls) : ioctls_(ioctls) {}
    int Open(const std::string& path) override { return real_->Open(path); }
    void Close(int fd) override { real_->Close(fd); }
    std::string DeviceProblem(int fd) override { return real_->DeviceProblem(fd); }
    int Functions(int fd, unsigned long& functions) override {
        ++ioctls_;
        return real_->Functions(fd, functions);
    }
    int SelectAddress(int fd, int address, bool force) override {
        ++ioctls_;
        return real_->SelectAddress(fd, address, force);
    }
    int ReadByteData(int fd, std::uint8_t reg) override { return real_->ReadByteData(fd, reg); }
    int WriteByteData(int fd, std::uint8_t reg, std::uint8_t value) override {
        return real_->WriteByteData(fd, reg, value);
    }

private:
    std::unique_ptr<link::I2cSystem> real_ = link::MakeLinuxI2cSystem();
    int& ioctls_;
};

// A mistyped path (a device of another driver, a file, a FIFO without a
// writer) is named with the reason and sees no ioctl, and the open never waits.
TEST(I2cBridge, RefusesWhatIsNoI2cDevBeforeAnyIoctl) {
    char folder[] = "/tmp/i2c-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string file = std::string(folder) + "/file";
    const std::string fifo = std::string(folder) + "/fifo";
    std::fclose(std::fopen(file.c_str(), "w"));
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {"/dev/null", "/dev/null is refused: not an i2c-dev device (major 1, not 89)"},
        {file, file + " is refused: not a character device"},
        {fifo, fifo + " is refused: not a character device"},
    };
    for (const auto& [path, reason] : cases) {
        int ioctls = 0;
        std::ostringstream notices;
        std::string error;
        EXPECT_EQ(I2cBridge::Open(std::make_unique<CountingI2cSystem>(ioctls), path, false, notices,
                                  error),
                  nullptr);
        EXPECT_EQ(error, reason);
        EXPECT_EQ(ioctls, 0) << path;
    }
    std::remove(file.c_str());
    std::remove(fifo.c_str());
    ::rmdir(folder);
}

} // namespace
} // namespace qmt::test
