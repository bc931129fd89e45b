#include "cli/cli_batch.h"

#include "cli/cli_run.h"
#include "cli/cli_settings_files.h"
#include "cli/command_words.h"
#include "link/link_error.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <istream>
#include <ostream>
#include <string_view>
#include <system_error>

namespace qmt::cli {

namespace {

class LineRunner {
public:
    LineRunner(const CliOptions& batch, const BatchCommandRunner& run, std::ostream& out,
               std::ostream& err)
        : batch_(batch), run_(run), out_(out), err_(err) {}

    // The line's exit status; ExitDone for a blank line or a comment.
    int Run(std::string_view text, std::size_t number) {
        number_ = number;
        if (text.ends_with('\r')) {
            text.remove_suffix(1); // a file written on Windows
        }
        std::string error;
        const auto words = SplitCommandWords(text, error);
        if (!words) {
            return Failed(error, ExitUsage);
        }
        if (words->empty()) {
            return ExitDone;
        }
        QStringList arguments{QStringLiteral("qmtctl")};
        for (const auto& word : *words) {
            arguments << QString::fromLocal8Bit(word.data(), static_cast<qsizetype>(word.size()));
        }
        auto parsed = ParseCliArguments(arguments, ParseScope::BatchLine);
        if (parsed.outcome == ParseOutcome::Help) {
            out_ << parsed.text;
            return ExitDone;
        }
        if (parsed.outcome == ParseOutcome::UsageError) {
            return Failed(parsed.text, ExitUsage);
        }
        return RunCommandOf(parsed.options);
    }

private:
    int RunCommandOf(CliOptions& options) {
        options.bridge = batch_.bridge;
        options.address = batch_.address;
        options.verbose = batch_.verbose;
        options.json = options.json || batch_.json;
        try {
            const int status = run_(options);
            // A status without a message of its own (diff's "it differs").
            return status == ExitDone ? status
                                      : Failed("exit status " + std::to_string(status), status);
        } catch (const CommandFailure& failure) {
            return Failed(failure.what(), failure.status());
        } catch (const link::LinkFailure&) {
            return Failed("the link failed; no further line is run", ExitLinkFailure);
        }
    }

    int Failed(const std::string& reason, int status) {
        err_ << "qmtctl: line " << number_ << ": " << reason << '\n';
        return status;
    }

    const CliOptions& batch_;
    const BatchCommandRunner& run_;
    std::ostream& out_;
    std::ostream& err_;
    std::size_t number_ = 0;
};

} // namespace

bool IsStandardInput(const std::string& file) {
    return file.empty() || file == "-";
}

bool OpenBatchFile(const std::string& path, std::ifstream& file, std::ostream& err) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        err << "qmtctl: cannot read " << path << ": it is a folder\n";
        return false;
    }
    file.open(path);
    if (!file) {
        err << "qmtctl: cannot read " << path << ": " << std::generic_category().message(errno)
            << '\n';
        return false;
    }
    return true;
}

int RunBatch(std::istream& lines, const CliOptions& batch, const BatchCommandRunner& run,
             std::ostream& out, std::ostream& err) {
    LineRunner runner(batch, run, out, err);
    int worst = ExitDone;
    std::string line;
    for (std::size_t number = 1; std::getline(lines, line); ++number) {
        const int status = runner.Run(line, number);
        // Each line's output as soon as it is complete, in order with the
        // messages of the lines after it.
        out.flush();
        if (status == ExitLinkFailure) {
            return status;
        }
        worst = std::max(worst, status);
    }
    return worst;
}

} // namespace qmt::cli
