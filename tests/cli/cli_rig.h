#pragma once

#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "files/power_on_chip.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace qmt::cli {

// A chip at its power-on values, a command line run on it in-process and a
// temporary folder for the files it reads.
struct CliRig : test::PowerOnChip {
    // The command line's exit status; the printed text in `out`, also when
    // the command throws.
    int Run(QStringList arguments) {
        arguments.prepend("qmtctl");
        const auto parsed = ParseCliArguments(arguments);
        EXPECT_EQ(parsed.outcome, ParseOutcome::Run) << parsed.text;
        std::ostringstream text;
        try {
            const int status = RunCommand(parsed.options, access, text);
            out = text.str();
            return status;
        } catch (...) {
            out = text.str(); // what a failing command printed before it failed
            throw;
        }
    }
    // The printed text of a command that must succeed.
    std::string Out(const QStringList& arguments) {
        EXPECT_EQ(Run(arguments), ExitDone) << arguments.join(' ').toStdString();
        return out;
    }
    QString File(const char* name, const std::string& text) {
        const QString path = dir.filePath(name);
        std::ofstream(path.toStdString(), std::ios::binary) << text;
        return path;
    }
    QTemporaryDir dir;
    std::string out;
};

} // namespace qmt::cli
