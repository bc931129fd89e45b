#include "fake_i2c_bus.h"
#include "link/i2c_bridge.h"
#include "link_rig.h"

#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace qmt::test {
namespace {

using link::I2cBridge;
using link::LinkError;
using link::LinkFailure;

// The whole device link on the i2c-dev bridge over a fake bus.
struct I2cRig {
    explicit I2cRig(bool force = false) {
        bridge = I2cBridge::Open(std::make_unique<FakeI2cSystem>(bus), "/dev/i2c-1", force, notices,
                                 error);
    }
    LinkRig<link::Bridge&>& Link() {
        if (!link) {
            link = std::make_unique<LinkRig<link::Bridge&>>(*bridge);
        }
        return *link;
    }
    // Bus calls after the first n.
    std::vector<std::string> CallsFrom(std::size_t n) const {
        return {bus.calls.begin() + static_cast<std::ptrdiff_t>(n), bus.calls.end()};
    }

    FakeI2cBus bus;
    std::ostringstream notices;
    std::string error;
    std::unique_ptr<I2cBridge> bridge;
    std::unique_ptr<LinkRig<link::Bridge&>> link;
};

std::vector<std::string> SearchCalls(int from, int to) {
    std::vector<std::string> calls;
    for (int address = from; address <= to; ++address) {
        char select[16];
        char read[24];
        std::snprintf(select, sizeof select, "select 0x%02X", address);
        std::snprintf(read, sizeof read, "read 0x%02X 0xFE", address);
        calls.insert(calls.end(), {select, read});
    }
    return calls;
}

TEST(I2cBridge, SearchReadsTheIdFrom0x18UpAndTakesTheFirstChip) {
    I2cRig rig;
    ASSERT_TRUE(rig.bridge) << rig.error;
    rig.bus.AddChip(0x4C);
    rig.bus.AddChip(0x4D);
    rig.bus.chips[0x20][0xFE] = 0x54; // another kind of device
    auto& link = rig.Link();
    link.Run();

    EXPECT_EQ(link.usb.DeviceAddress, 0x4C);
    EXPECT_EQ(rig.bus.calls, SearchCalls(0x18, 0x4C));
    EXPECT_TRUE(link.errors.codes.empty());
    // No firmware, and the start-up says so.
    EXPECT_EQ(link.progress.stages.front(), "No bridge firmware to download");
    EXPECT_EQ(rig.notices.str(), "");

    I2cRig none; // every address from 0x18 to 0x4E, and no further
    none.Link();
    EXPECT_THROW(none.link->Run(), LinkFailure);
    EXPECT_EQ(none.link->errors.codes, std::vector{LinkError::InitialConnection});
    EXPECT_EQ(none.bus.calls, SearchCalls(0x18, 0x4E));
}

TEST(I2cBridge, BusyAddressIsSkippedAndNamedOnceUnlessForced) {
    I2cRig rig;
    rig.bus.busy = {0x1A, 0x4C};
    rig.bus.AddChip(0x4C); // a driver already owns this chip
    rig.bus.AddChip(0x4D);
    rig.Link().Run();
    EXPECT_EQ(rig.link->usb.DeviceAddress, 0x4D);
    EXPECT_EQ(rig.notices.str(),
              "/dev/i2c-1: address 0x1A is in use by a kernel driver; left alone (--force "
              "overrides)\n"
              "/dev/i2c-1: address 0x4C is in use by a kernel driver; left alone (--force "
              "overrides)\n");
    // The busy address is never read.
    for (const auto& call : rig.bus.calls) {
        EXPECT_NE(call, "read 0x1A 0xFE");
    }

    I2cRig forced(true);
    forced.bus.busy = {0x4C};
    forced.bus.AddChip(0x4C);
    forced.Link().Run();
    EXPECT_EQ(forced.link->usb.DeviceAddress, 0x4C);
    EXPECT_EQ(forced.bus.calls.back(), "read 0x4C 0xFE");
    EXPECT_EQ(forced.bus.calls[forced.bus.calls.size() - 2], "force 0x4C");
    EXPECT_EQ(forced.notices.str(), "");
}

TEST(I2cBridge, RegisterRequestsBecomeSmbusByteDataAtTheirAddress) {
    I2cRig rig;
    rig.bus.AddChip(0x18);
    rig.bus.chips[0x18][0x03] = 0x84;
    rig.bus.chips[0x18][0x02] = 0x10;
    auto& link = rig.Link();
    link.Run();
    const auto searched = rig.bus.calls.size();

    EXPECT_EQ(link.access.ReadRegister(0x18, 0x03), 0x84);
    std::int32_t value = 0x3F;
    EXPECT_EQ(link.access.WriteRegister(0x18, 0x0A, value), 0);
    EXPECT_EQ(link.access.PollStatusRegister(0x02), 0x10);
    // The address is selected once; a value above 255 is written as 255.
    value = 300;
    link.access.WriteRegister(0x18, 0x05, value);
    EXPECT_EQ(rig.CallsFrom(searched),
              (std::vector<std::string>{"read 0x18 0x03", "write 0x18 0x0A 0x3F", "read 0x18 0x02",
                                        "write 0x18 0x05 0xFF"}));
    EXPECT_EQ(rig.bus.chips[0x18][0x0A], 0x3F);
}

TEST(I2cBridge, AFailedTransferAfterTheSearchIsACommunicationsFailure) {
    // The adapter fails (EIO), or the chip stops acknowledging (ENXIO, which
    // means "no chip there" during the search): both end the run with code 3.
    for (const int failure : {EIO, ENXIO, ENODEV}) {
        I2cRig rig;
        rig.bus.AddChip(0x18);
        rig.bus.transfersBeforeFailure = 2; // the search's read and one more
        rig.bus.failureErrno = failure;
        auto& link = rig.Link();
        link.Run();
        EXPECT_EQ(link.access.ReadRegister(0x18, 0x00), 0);
        EXPECT_THROW(link.access.ReadRegister(0x18, 0x00), LinkFailure) << failure;
        std::int32_t value = 1;
        EXPECT_THROW(link.access.WriteRegister(0x18, 0x09, value), LinkFailure) << failure;
        EXPECT_EQ(link.errors.codes,
                  (std::vector{LinkError::Communications, LinkError::Communications}));
    }

    // An adapter that goes away during the search is not "no chip there".
    I2cRig lost;
    lost.bus.transfersBeforeFailure = 3;
    lost.bus.failureErrno = ENODEV;
    lost.Link();
    EXPECT_THROW(lost.link->Run(), LinkFailure);
    EXPECT_EQ(lost.link->errors.codes, std::vector{LinkError::Communications});
    EXPECT_EQ(lost.bus.calls.back(), "read 0x1B 0xFE");
}

TEST(I2cBridge, NeverTouchesReservedAddressesOrOddRequests) {
    I2cRig rig;
    rig.bus.AddChip(0x4C);
    std::uint8_t byte = 0;
    for (const std::int32_t address : {0x00, 0x07, 0x78, 0x7F, -1, 0x14C}) {
        EXPECT_EQ(rig.bridge->VendorIORequest(222, address, 0xFE, 1, 1, &byte),
                  link::StatusNoAnswer)
            << address;
    }
    EXPECT_EQ(rig.bridge->VendorIORequest(222, 0x4C, 256, 1, 1, &byte),
              I2cBridge::StatusBadArguments);
    EXPECT_EQ(rig.bridge->VendorIORequest(222, 0x4C, 0x10000, 0, 0, &byte),
              I2cBridge::StatusBadArguments);
    EXPECT_EQ(rig.bridge->VendorIORequest(222, 0x4C, 0, 1, 0, &byte),
              I2cBridge::StatusBadArguments);
    EXPECT_EQ(rig.bridge->VendorIORequest(220, 0x4C, 0x02, 0, 0, &byte),
              I2cBridge::StatusBadArguments);
    EXPECT_EQ(rig.bridge->VendorIORequest(223, 0x4C, 0, 1, 1, &byte),
              I2cBridge::StatusUnknownRequest);
    EXPECT_EQ(rig.bridge->VendorIORequest(222, 0x4C, 0, 1, 1, nullptr),
              I2cBridge::StatusNullBuffer);
    EXPECT_EQ(rig.bus.calls, std::vector<std::string>{});
    EXPECT_EQ(rig.notices.str(), "/dev/i2c-1: address 0x00 is reserved on the bus; not used\n"
                                 "/dev/i2c-1: address 0x07 is reserved on the bus; not used\n"
                                 "/dev/i2c-1: address 0x78 is reserved on the bus; not used\n"
                                 "/dev/i2c-1: address 0x7F is reserved on the bus; not used\n");
    // Firmware and connect need nothing from the bus.
    EXPECT_EQ(rig.bridge->LoadFirmWare(nullptr), 0);
    EXPECT_EQ(rig.bridge->VendorIORequest(221, 48, 51, 0, 0, &byte), 0);
}

TEST(I2cBridge, ADeviceFileThatIsNoUsableAdapterIsNamedInOneLine) {
    struct Case {
        int openError;
        int functionsError;
        unsigned long functions;
        std::string error;
    };
    const unsigned long both = I2C_FUNC_SMBUS_READ_BYTE_DATA | I2C_FUNC_SMBUS_WRITE_BYTE_DATA;
    const std::vector<Case> cases{
        {ENOENT, 0, both,
         "cannot open /dev/i2c-1: No such file or directory (is the i2c-dev module loaded?)"},
        {EACCES, 0, both,
         "cannot open /dev/i2c-1: Permission denied (is your user in the i2c "
         "group?)"},
        {0, ENOTTY, both, "/dev/i2c-1 is not an I2C adapter"},
        {0, 0, I2C_FUNC_SMBUS_READ_BYTE_DATA,
         "/dev/i2c-1: the adapter cannot read and write SMBus byte data"},
    };
    for (const auto& c : cases) {
        FakeI2cBus bus;
        bus.openError = c.openError;
        bus.functionsError = c.functionsError;
        bus.functions = c.functions;
        std::ostringstream notices;
        std::string error;
        EXPECT_FALSE(I2cBridge::Open(std::make_unique<FakeI2cSystem>(bus), "/dev/i2c-1", false,
                                     notices, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(bus.openDescriptors, 0) << c.error;
    }

    FakeI2cBus bus; // and a good one is closed with the bridge
    std::ostringstream notices;
    std::string error;
    auto bridge =
        I2cBridge::Open(std::make_unique<FakeI2cSystem>(bus), "/dev/i2c-1", false, notices, error);
    ASSERT_TRUE(bridge);
    EXPECT_EQ(bus.openDescriptors, 1);
    bridge.reset();
    EXPECT_EQ(bus.openDescriptors, 0);
}

} // namespace
} // namespace qmt::test
