#pragma once

#include "support/test_paths.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <string>

namespace qmt::test {

// What a run of the built qmtctl left: its exit status and both streams.
struct QmtctlOutcome {
    int status = -1;
    std::string out, err;
};

// Runs the built qmtctl on a board file, as a user does.
inline QmtctlOutcome RunQmtctlOnBoard(const QString& board, QStringList arguments) {
    arguments.prepend(board);
    arguments.prepend("--board");
    QProcess process;
    process.start(qmt::test::paths::Qmtctl, arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

} // namespace qmt::test
