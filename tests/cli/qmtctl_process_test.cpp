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

struct Run {
    int exitCode;
    std::string out, err;
};

Run Qmtctl(const QStringList& arguments) {
    QProcess process;
    process.start(QMT_QMTCTL_PATH, arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

// While the remote pointers show Remote 2 there is no Remote 1 reading to
// name; and a given address must hold a chip before anything is claimed.
TEST(Qmtctl, NamesChannelsTruthfullyAndChecksAGivenAddress) {
    QTemporaryDir dir;
    const auto board = dir.filePath("board.txt");
    std::ofstream(board.toStdString()) << "address = 0x4C\nreg.0x03 = 0x08\n";

    const auto text = Qmtctl({"--board", board, "temps"});
    EXPECT_EQ(text.exitCode, 0) << text.err;
    EXPECT_TRUE(text.out.starts_with("Local ")) << text.out;
    EXPECT_NE(text.out.find("\nRemote2 "), std::string::npos) << text.out;
    EXPECT_EQ(text.out.find("Remote1"), std::string::npos) << text.out;

    const auto json = Qmtctl({"--board", board, "--json", "temps"});
    EXPECT_EQ(json.exitCode, 0) << json.err;
    EXPECT_NE(json.out.find("\"remote1\":null"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"remote2\":"), std::string::npos) << json.out;

    for (const char* command : {"detect", "temps"}) {
        const auto absent = Qmtctl({"--board", board, "--address", "0x10", command});
        EXPECT_EQ(absent.exitCode, 3) << command;
        EXPECT_EQ(absent.out, "") << command;
        EXPECT_EQ(absent.err, "qmtctl: no QMT6171/2/3 answers at 10h\n"
                              "Initial Connection Failed - Check USB connections\n")
            << command;
    }
    EXPECT_EQ(Qmtctl({"--board", board, "--address", "0x4C", "detect"}).out,
              "Found an QMT6171/2/3 at 4Ch\n");
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
