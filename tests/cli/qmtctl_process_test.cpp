#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

// The built qmtctl against the emulated board; the exit statuses of failures are
// checked in-process.
TEST(Qmtctl, ReadsAsJsonShowingTheStagesWhenVerbose) {
    QTemporaryDir dir;
    const auto board = dir.filePath("board.txt");
    std::ofstream(board.toStdString()) << "address = 0x2A\nreg.0x03 = 0x84\n";
    QProcess process;
    process.start(QMT_QMTCTL_PATH, {"--board", board, "--verbose", "--json", "read", "0xFE", "3h"});
    ASSERT_TRUE(process.waitForFinished(60000));
    const auto err = process.readAllStandardError().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << err;
    EXPECT_EQ(process.readAllStandardOutput().toStdString(),
              "[{\"pointer\":254,\"value\":65},{\"pointer\":3,\"value\":132}]\n");
    EXPECT_EQ(err, "Downloading Firmware...\n"
                   "Firmware download succesful\n"
                   "Enumerating...\n"
                   "Connecting...\n"
                   "Searching for QMT6171/2/3 on USB...\n"
                   "Found an QMT6171/2/3 at 2Ah\n");
}

} // namespace
