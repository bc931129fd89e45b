#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built qmtctl against the emulated board the text describes.
Outcome RunProgram(QStringList args, const std::string& board) {
    QTemporaryDir dir;
    const auto path = dir.filePath("board.txt");
    std::ofstream(path.toStdString()) << board;
    args.prepend(path);
    args.prepend("--board");
    QProcess process;
    process.start(QMT_QMTCTL_PATH, args);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

TEST(Qmtctl, ReadsAsJsonShowingTheStagesWhenVerbose) {
    const auto result = RunProgram({"--verbose", "--json", "read", "0xFE", "3h"},
                                   "address = 0x2A\nreg.0x03 = 0x84\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "[{\"pointer\":254,\"value\":65},{\"pointer\":3,\"value\":132}]\n");
    EXPECT_EQ(result.err, "Downloading Firmware...\n"
                          "Firmware download succesful\n"
                          "Enumerating...\n"
                          "Connecting...\n"
                          "Searching for QMT6171/2/3 on USB...\n"
                          "Found an QMT6171/2/3 at 2Ah\n");
}

TEST(Qmtctl, LinkFailureExitsThreeWithItsMessage) {
    const auto firmware = RunProgram({"detect"}, "firmware = fail\n");
    EXPECT_EQ(firmware.exitCode, 3);
    EXPECT_TRUE(firmware.err.ends_with("Firmware failed to download - Check USB connections\n"))
        << firmware.err;
    EXPECT_TRUE(firmware.out.empty());
}

} // namespace
