#include "board_fixture.h"
#include "intel_hex.h"

#include <gtest/gtest.h>
#include <string>

namespace tarnlink {
namespace {

constexpr const char* GoodHex = ":0300000002010AF0\n"
                                ":02000004000AF0\n"
                                ":00000001FF\n";

TEST(IntelHex, AcceptsWellFormedFiles) {
    const HexCheck shipped = CheckIntelHexFile(TARNLINK_TEST_FIRMWARE);
    EXPECT_TRUE(shipped.ok) << shipped.reason;
    EXPECT_GT(shipped.dataBytes, 0u);

    const HexCheck good = CheckIntelHex(GoodHex);
    EXPECT_TRUE(good.ok) << good.reason;
    EXPECT_EQ(good.dataBytes, 3u);

    // Windows line ends, lower-case digits and trailing blank lines are fine.
    EXPECT_TRUE(CheckIntelHex(":0300000002010af0\r\n:00000001FF\r\n\r\n").ok);
}

TEST(IntelHex, RejectsBrokenRecordsNamingTheLine) {
    struct Case {
        const char* text;
        const char* reason;
    };
    const Case cases[] = {
        {":0300000002010AF1\n:00000001FF\n", "line 1: checksum mismatch"},
        {":0300000002010AF0\n", "line 1: no end-of-file record"},
        {"", "no end-of-file record"},
        {":0300000002010AF0\n:00000001FF\n:0300000002010AF0\n", "line 3: data after the end"},
        {":0400000002010AEF\n:00000001FF\n", "line 1: byte count"},
        {"0300000002010AF0\n:00000001FF\n", "line 1: a record must start with ':'"},
        {":03000000020G0AF0\n:00000001FF\n", "line 1: not a record"},
        {":0300000002010AF\n:00000001FF\n", "line 1: not a record"},
        {":00000006FA\n:00000001FF\n", "line 1: unknown record type 6"},
        {":0100000100FE\n", "line 1: wrong length for record type 1"},
        {":0100000400FB\n:00000001FF\n", "line 1: wrong length for record type 4"},
    };
    for (const Case& c : cases) {
        const HexCheck check = CheckIntelHex(c.text);
        EXPECT_FALSE(check.ok) << c.text;
        EXPECT_NE(check.reason.find(c.reason), std::string::npos)
            << c.text << " gave: " << check.reason;
    }
}

TEST(IntelHex, FirmwareDownloadStatusFollowsTheFile) {
    const test::TempDir dir;
    const std::string broken = dir.Write("broken.hex", ":0300000002010AF1\n:00000001FF\n");

    Emulator emulator([] { return std::uint64_t{0}; });
    std::string error;
    ASSERT_TRUE(emulator.LoadBoardText("", error));
    EXPECT_EQ(emulator.LoadFirmWare(nullptr), FirmwareUnreadable);
    EXPECT_EQ(emulator.LoadFirmWare(dir.Path("missing.hex").c_str()), FirmwareUnreadable);
    EXPECT_EQ(emulator.LoadFirmWare(dir.Path("").c_str()), FirmwareUnreadable);
    EXPECT_EQ(emulator.LoadFirmWare(broken.c_str()), FirmwareMalformed);
    EXPECT_NE(emulator.LastError().find("checksum"), std::string::npos) << emulator.LastError();

    // A failed download leaves the bridge without firmware: nothing connects.
    std::uint8_t buffer[1] = {0};
    EXPECT_NE(emulator.VendorIORequest(RequestConnect, 48, 51, 0, 0, buffer), StatusOk);

    EXPECT_EQ(emulator.LoadFirmWare(TARNLINK_TEST_FIRMWARE), FirmwareOk);
    EXPECT_TRUE(emulator.LastError().empty());
    EXPECT_EQ(emulator.VendorIORequest(RequestConnect, 48, 51, 0, 0, buffer), StatusOk);

    // A bad download after a good one drops the connection again.
    EXPECT_EQ(emulator.LoadFirmWare(broken.c_str()), FirmwareMalformed);
    EXPECT_EQ(emulator.VendorIORequest(RequestRegister, 0x4C, 0xFE, 1, 1, buffer),
              StatusNotConnected);
}

} // namespace
} // namespace tarnlink
