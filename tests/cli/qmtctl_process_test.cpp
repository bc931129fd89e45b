#include <QFile>
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

// The same bytes as the program's own log of these readings (see the
// logging window's tests): head, then a line per 100 ms of nominal time.
TEST(Qmtctl, LogWritesTheProgramsFormat) {
    QTemporaryDir dir;
    const auto board = dir.filePath("board.txt");
    std::ofstream(board.toStdString()) << "local = 25\nremote1 = 30.25\nremote2 = 28.5\n";
    const auto log = dir.filePath("run.csv");
    QProcess process;
    process.start(QMT_QMTCTL_PATH, {"--board", board, "log", log, "--count", "5"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(process.readAllStandardOutput().toStdString(),
              "5 lines written to " + log.toStdString() + "\n");
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(),
              "\r\nQMT6171/3 Log File\r\n\r\n"
              "Time ,Local(\xB0"
              "C) ,Remote1(\xB0"
              "C) ,Remote2(\xB0"
              "C) ,\r\n"
              "0, 25, 30.25, 28.5,\r\n.1, 25, 30.25, 28.5,\r\n.2, 25, 30.25, 28.5,\r\n"
              ".3, 25, 30.25, 28.5,\r\n.4, 25, 30.25, 28.5,\r\n");
}

TEST(Qmtctl, LogEndsOnSigtermWithWholeLines) {
    QTemporaryDir dir;
    const auto log = dir.filePath("run.csv");
    QProcess process;
    process.setReadChannel(QProcess::StandardError);
    process.start(QMT_QMTCTL_PATH, {"--verbose", "log", log, "--interval", "0"});
    // The first progress line says the run is under way.
    std::string err;
    while (err.find("line 1 at 0 s\n") == std::string::npos) {
        ASSERT_TRUE(process.waitForReadyRead(60000)) << err;
        err += process.readAllStandardError().toStdString();
    }
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto bytes = file.readAll();
    EXPECT_TRUE(bytes.endsWith(",\r\n"));
    const auto lines = bytes.count("\r\n") - 4;
    EXPECT_EQ(process.readAllStandardOutput().toStdString(),
              std::to_string(lines) + (lines == 1 ? " line" : " lines") + " written to " +
                  log.toStdString() + "\n");
}

} // namespace
