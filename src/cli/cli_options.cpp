#include "cli/cli_options.h"

#include <QCommandLineParser>
#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <utility>

namespace qmt::cli {

namespace {

constexpr std::int32_t LargestPointer = 255;
constexpr std::int32_t LargestAddress = 0x7F;

constexpr std::array<std::pair<std::string_view, Command>, 6> CommandNames{{
    {"detect", Command::Detect},
    {"read", Command::Read},
    {"write", Command::Write},
    {"dump", Command::Dump},
    {"temps", Command::Temps},
    {"log", Command::Log},
}};

const char* Description() {
    return "Talks to a QMT6171/2/3 through the USB bridge library.\n\n"
           "Commands:\n"
           "  detect             connect and show the chip's address\n"
           "  read REG...        read registers (pointer, hex and decimal value)\n"
           "  write REG VALUE    write a register (values above 255 write 255)\n"
           "  dump               read every register of the table\n"
           "  temps              read the Local, Remote1 and Remote2 temperatures\n"
           "  log FILE [--interval MS] [--channels local,remote1,remote2]\n"
           "      [--count N | --duration SECONDS]\n"
           "                     append a log run to FILE as the program logs;\n"
           "                     without a count or duration until SIGINT or SIGTERM\n\n"
           "Numbers: 0x4C, 4Ch or decimal 76.\n"
           "Exit status: 0 done, 1 log file not written, 2 usage error, 3 link failure.";
}

ParseResult Usage(std::string reason) {
    return {ParseOutcome::UsageError, {}, std::move(reason)};
}

std::optional<std::int32_t> ParseInRange(std::string_view text, std::int32_t lowest,
                                         std::int32_t highest) {
    const auto number = ParseNumberArgument(text);
    if (!number || *number < lowest || *number > highest) {
        return std::nullopt;
    }
    return number;
}

std::optional<std::int32_t> ParsePointer(const std::string& text, std::string& error) {
    const auto pointer = ParseInRange(text, 0, LargestPointer);
    if (!pointer) {
        error = "bad register '" + text + "' (0 to 255)";
    }
    return pointer;
}

// Fills the command and its arguments; an empty text means success.
std::string ParseCommand(const QStringList& positional, CliOptions& options) {
    if (positional.isEmpty()) {
        return "no command given (detect, read, write, dump, temps or log)";
    }
    const auto name = positional.front().toStdString();
    const auto known = std::find_if(CommandNames.begin(), CommandNames.end(),
                                    [&name](const auto& entry) { return entry.first == name; });
    if (known == CommandNames.end()) {
        return "unknown command '" + name + "'";
    }
    options.command = known->second;
    std::vector<std::string> args;
    for (qsizetype i = 1; i < positional.size(); ++i) {
        args.push_back(positional[i].toStdString());
    }

    std::string error;
    switch (options.command) {
    case Command::Detect:
    case Command::Dump:
    case Command::Temps:
        return args.empty() ? std::string{} : name + " takes no arguments";
    case Command::Read:
        if (args.empty()) {
            return "read needs at least one register";
        }
        for (const auto& arg : args) {
            const auto pointer = ParsePointer(arg, error);
            if (!pointer) {
                return error;
            }
            options.registers.push_back(*pointer);
        }
        return {};
    case Command::Log:
        return ParseLogArguments(args, options.log);
    case Command::Write: {
        if (args.size() != 2) {
            return "write needs REG VALUE";
        }
        const auto pointer = ParsePointer(args[0], error);
        if (!pointer) {
            return error;
        }
        options.registers.push_back(*pointer);
        const auto value = ParseNumberArgument(args[1]);
        if (!value) {
            return "bad value '" + args[1] + "'";
        }
        if (*value < 0) {
            return "value must not be negative";
        }
        options.value = *value;
        return {};
    }
    }
    return {};
}

} // namespace

std::optional<std::int32_t> ParseNumberArgument(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.size() > 1 && (text.back() == 'h' || text.back() == 'H')) {
        base = 16;
        text.remove_suffix(1);
    }
    if (text.empty() || (base == 16 && text.front() == '-')) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

ParseResult ParseCliArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Description());
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption bridge(
        "bridge", "Bridge library: tarnlink (by name) or tarnlink:PATH.", "BRIDGE", "tarnlink");
    const QCommandLineOption board("board", "Board description for the emulated bridge.", "FILE");
    const QCommandLineOption address("address", "Chip address; skips the device search.", "ADDR");
    const QCommandLineOption verbose("verbose", "Show the connection stages on standard error.");
    const QCommandLineOption json("json", "Print JSON (detect, read, write, dump, temps).");
    parser.addOptions({help, bridge, board, address, verbose, json});
    parser.addPositionalArgument("COMMAND", "detect, read, write, dump, temps or log.");
    parser.addPositionalArgument("ARGS", "Arguments of the command.", "[ARGS...]");

    if (!parser.parse(arguments)) {
        return Usage(parser.errorText().toStdString());
    }
    if (parser.isSet(help)) {
        return {ParseOutcome::Help, {}, parser.helpText().toStdString()};
    }

    ParseResult result{ParseOutcome::Run, {}, {}};
    auto& options = result.options;
    std::string error;
    if (!link::ParseBridgeChoice(parser.value(bridge).toStdString(), options.bridge, error)) {
        return Usage(error);
    }
    if (parser.isSet(board)) {
        options.bridge.boardFile = parser.value(board).toStdString();
        if (!std::ifstream(options.bridge.boardFile)) {
            return Usage("cannot read board file '" + options.bridge.boardFile + "'");
        }
    }
    if (parser.isSet(address)) {
        const auto text = parser.value(address).toStdString();
        options.address = ParseInRange(text, 0, LargestAddress);
        if (!options.address) {
            return Usage("bad address '" + text + "' (0 to 0x7F)");
        }
    }
    options.verbose = parser.isSet(verbose);
    options.json = parser.isSet(json);
    if (auto reason = ParseCommand(parser.positionalArguments(), options); !reason.empty()) {
        return Usage(std::move(reason));
    }
    return result;
}

} // namespace qmt::cli
