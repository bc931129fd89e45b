// qmtctl's command line comes from scripts and shells, so its parser must
// cope with any arguments at all: the input is split at NUL bytes into the
// arguments after the program's name. Every outcome that is not a run has
// its text, and a run has a command.
#include "cli/cli_options.h"

#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    QStringList arguments{QStringLiteral("qmtctl")};
    while (!input.empty()) {
        const auto end = input.find('\0');
        const std::string_view argument = input.substr(0, end);
        arguments.append(
            QString::fromUtf8(argument.data(), static_cast<qsizetype>(argument.size())));
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
    }
    const qmt::cli::ParseResult result = qmt::cli::ParseCliArguments(arguments);
    if (result.outcome != qmt::cli::ParseOutcome::Run && result.text.empty()) {
        __builtin_trap();
    }
    return 0;
}
