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

// Runs the built qmtctl with the given board description (none: the default board).
class QmtctlProcess : public ::testing::Test {
protected:
    Outcome Run(QStringList args, const std::string& board = {}) {
        if (!board.empty()) {
            const auto path = dir_.filePath("board.txt");
            std::ofstream(path.toStdString()) << board;
            args.prepend(path);
            args.prepend("--board");
        }
        QProcess process;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.remove("TARNLINK_BOARD");
        process.setProcessEnvironment(environment);
        process.start(QMT_QMTCTL_PATH, args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }

    static bool Contains(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }

    QTemporaryDir dir_;
};

TEST_F(QmtctlProcess, DetectShowsTheStagesWhenVerbose) {
    const auto result = Run({"--verbose", "detect"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Found an QMT6171/2/3 at 4Ch\n");
    EXPECT_EQ(result.err, "Downloading Firmware...\n"
                          "Firmware download succesful\n"
                          "Enumerating...\n"
                          "Connecting...\n"
                          "Searching for QMT6171/2/3 on USB...\n"
                          "Found an QMT6171/2/3 at 4Ch\n");
}

TEST_F(QmtctlProcess, ReadsAsJsonFromTheBoardsChip) {
    const auto result = Run({"--json", "read", "0xFE", "3h"}, "address = 0x2A\nreg.0x03 = 0x84\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, R"([{"pointer":254,"value":65},{"pointer":3,"value":132}])"
                          "\n");
    EXPECT_TRUE(result.err.empty()) << result.err;
}

TEST_F(QmtctlProcess, WriteAboveAByteWrites255AtAGivenAddress) {
    const auto result = Run({"--address", "0x4C", "write", "0x0B", "300"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Bh FFH 255\n");
}

TEST_F(QmtctlProcess, TempsInTheChipsRange) {
    const auto result = Run({"temps"}, "local = 25\nremote1 = 30.25\nremote2 = 28.5\n"
                                       "reg.0x03 = 0x04\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Local 25\nRemote1 30.25\nRemote2 28.5\n");
}

TEST_F(QmtctlProcess, LinkFailuresExitThreeWithTheirMessage) {
    const auto firmware = Run({"detect"}, "firmware = fail\n");
    EXPECT_EQ(firmware.exitCode, 3);
    EXPECT_TRUE(Contains(firmware.err, "Firmware failed to download - Check USB connections\n"))
        << firmware.err;
    EXPECT_TRUE(firmware.out.empty());

    // The search takes 53 requests; the dump fails at its eighth read.
    const auto lost = Run({"dump"}, "fail_after = 60\n");
    EXPECT_EQ(lost.exitCode, 3);
    EXPECT_EQ(lost.err, "Communications Interrupted - Check USB connections\n");
    EXPECT_TRUE(lost.out.empty());

    const auto library = Run({"--bridge", "tarnlink:/nonexistent/libTarnlink.so", "detect"});
    EXPECT_EQ(library.exitCode, 3);
    EXPECT_TRUE(Contains(library.err, "/nonexistent/libTarnlink.so")) << library.err;
    EXPECT_TRUE(Contains(library.err, "Firmware failed to download - Check USB connections\n"))
        << library.err;
}

TEST_F(QmtctlProcess, NoConnectionExitsThree) {
    const auto result = Run({"detect"}, "connect_attempt = 0\n");
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err, "Initial Connection Failed - Check USB connections\n");
}

TEST_F(QmtctlProcess, BadArgumentsExitTwoWithOneLine) {
    for (const QStringList& args : {QStringList{"write", "9", "-1"}, QStringList{"read", "0x100"},
                                    QStringList{"--bogus"}, QStringList{}}) {
        const auto result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(result.err.starts_with("qmtctl: ")) << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

} // namespace
