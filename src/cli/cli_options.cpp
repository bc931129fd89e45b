#include "cli/cli_options.h"

#include "cli/cli_compare.h"
#include "cli/cli_log.h"
#include "cli/cli_settings_files.h"
#include "link/register_write.h"

#include <QCommandLineParser>
#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <initializer_list>
#include <unistd.h>
#include <utility>

namespace qmt::cli {

namespace {

constexpr std::string_view ProgramName = "qmtctl";
constexpr std::string_view HelpCommand = "help";
constexpr std::string_view OptionsEnd = "--";
constexpr std::string_view HelpUse = "help [COMMAND]";
constexpr std::string_view HelpSummary = "show this help, or the use of one command";

std::string NoArguments(std::string_view name, const std::vector<std::string>& args,
                        CliOptions& options);
std::string ReadArguments(std::string_view name, const std::vector<std::string>& args,
                          CliOptions& options);
std::string WriteArguments(std::string_view name, const std::vector<std::string>& args,
                           CliOptions& options);

std::string SaveArguments(std::string_view, const std::vector<std::string>& args,
                          CliOptions& options) {
    return ParseSaveArguments(args, options);
}
std::string RecallArguments(std::string_view, const std::vector<std::string>& args,
                            CliOptions& options) {
    return ParseRecallArguments(args, options);
}
std::string LogArguments(std::string_view, const std::vector<std::string>& args,
                         CliOptions& options) {
    return ParseLogArguments(args, options.log);
}
std::string DiffArguments(std::string_view, const std::vector<std::string>& args,
                          CliOptions& options) {
    return ParseDiffArguments(args, options);
}
std::string ExportArguments(std::string_view, const std::vector<std::string>& args,
                            CliOptions& options) {
    return ParseExportArguments(args, options);
}
std::string BatchArguments(std::string_view, const std::vector<std::string>& args,
                           CliOptions& options) {
    if (args.size() > 1) {
        return "batch takes at most one FILE";
    }
    options.file = args.empty() ? std::string() : args.front();
    return {};
}

struct CommandEntry {
    std::string_view name;
    Command command;
    std::string_view arguments; // as in the use line
    std::string_view summary;
    ArgumentParser parse;
    // Names of the options that belong to this command (see CommandOptions).
    std::array<std::string_view, 5> options = {};
};

// Options of one command. Like every option they may stand anywhere; they
// reach the command's parser among its arguments, as "--name" [value].
struct CommandOption {
    std::string_view name;
    std::string_view valueName; // empty: a switch
    std::string_view description;
};
constexpr std::array CommandOptions{
    CommandOption{"comment", "TEXT", "save: the file's comment line."},
    CommandOption{"changed-only", "", "save: only registers that differ from power-on."},
    CommandOption{"interval", "MS", "log: milliseconds between lines (default 100)."},
    CommandOption{"channels", "LIST", "log: local,remote1,remote2 or some of them."},
    CommandOption{"count", "N", "log: end after N lines."},
    CommandOption{"duration", "SECONDS", "log: end after this time."},
    CommandOption{"format", "FORMAT",
                  "export: i2cset (a shell script), c (a C header) or json, each writing in the "
                  "same order."},
    CommandOption{"bus", "N",
                  "export: the I2C bus in the script (default: the i2c bridge's, else 1)."},
    CommandOption{"script-address", "ADDR",
                  "export: the chip's address in the script (default: the found one; "
                  "of a FILE, read with no chip: --address, else 0x4C)."},
    CommandOption{"events", "FILE", "log: also write each change of a status bit to FILE."},
    CommandOption{"no-verify", "", "write: do not read the register back."},
};

// Every command: one line here, its argument parser, and its case in RunCommand.
constexpr std::array Commands{
    CommandEntry{"detect", Command::Detect, "", "connect and show the chip's address", NoArguments},
    CommandEntry{"read", Command::Read, "REG...", "read registers (pointer, hex and decimal value)",
                 ReadArguments},
    CommandEntry{"write",
                 Command::Write,
                 "REG VALUE [--no-verify]",
                 "write a register (0 to 255) and print what it holds then",
                 WriteArguments,
                 {"no-verify"}},
    CommandEntry{"dump", Command::Dump, "", "read every register of the table", NoArguments},
    CommandEntry{"temps", Command::Temps, "", "read the Local, Remote1 and Remote2 temperatures",
                 NoArguments},
    CommandEntry{"save",
                 Command::Save,
                 "FILE [--comment TEXT] [--changed-only]",
                 "save the register settings to a settings file",
                 SaveArguments,
                 {"comment", "changed-only"}},
    CommandEntry{"recall", Command::Recall, "FILE", "write a settings file's registers to the chip",
                 RecallArguments},
    CommandEntry{"log",
                 Command::Log,
                 "FILE [--interval MS] [--channels LIST] [--count N | --duration SECONDS] "
                 "[--events FILE]",
                 "append a log run to FILE as the program logs; without a count or duration "
                 "until SIGINT or SIGTERM",
                 LogArguments,
                 {"interval", "channels", "count", "duration", "events"}},
    CommandEntry{"diff", Command::Diff, "FILE",
                 "list the registers in which the chip differs from a settings file",
                 DiffArguments},
    CommandEntry{"export",
                 Command::Export,
                 "--format i2cset|c|json [--bus N] [--script-address ADDR] [FILE]",
                 "print the chip's (or FILE's) settings as register writes in a safe order",
                 ExportArguments,
                 {"format", "bus", "script-address"}},
    CommandEntry{"batch", Command::Batch, "[FILE]",
                 "run commands from FILE (none or -: standard input), one per line as on the "
                 "command line, over one connection",
                 BatchArguments},
    CommandEntry{"check-alerts", Command::CheckAlerts, "",
                 "check that each limit sets its status bit and ALERT as the chip's rules say, "
                 "masks included, then put every register back; until SIGINT or SIGTERM, "
                 "which also put them back",
                 NoArguments},
};

const CommandEntry* FindCommand(std::string_view name) {
    const auto found = std::find_if(Commands.begin(), Commands.end(),
                                    [name](const auto& entry) { return entry.name == name; });
    return found == Commands.end() ? nullptr : &*found;
}

std::string CommandNameList() {
    std::string list;
    for (const auto& entry : Commands) {
        list += list.empty() ? "" : ", ";
        list += entry.name;
    }
    return list;
}

std::string UseLine(std::string_view name, std::string_view arguments) {
    std::string line(name);
    if (!arguments.empty()) {
        line += ' ';
        line += arguments;
    }
    return line;
}

// One command of the help: its use, then its summary in a column of its own,
// on the next line when the use reaches into it; lines wrap at HelpWidth.
std::string CommandLine(std::string_view use, std::string_view summary) {
    constexpr std::size_t Column = 21;
    constexpr std::size_t HelpWidth = 100;
    const std::string indent(Column, ' ');
    std::string text;
    std::string line = "  " + std::string(use);
    if (line.size() + 1 > Column) {
        text = line + '\n';
        line = indent;
    } else {
        line.resize(Column, ' ');
    }
    std::size_t start = 0;
    while (start < summary.size()) {
        const std::size_t end = std::min(summary.find(' ', start), summary.size());
        const std::string_view word = summary.substr(start, end - start);
        const bool first = line.size() == Column;
        if (!first && line.size() + 1 + word.size() > HelpWidth) {
            text += line + '\n';
            line = indent;
        }
        line += (line.size() == Column ? "" : " ") + std::string(word);
        start = end + 1;
    }
    return text + line + '\n';
}

std::string Description() {
    std::string text = "Talks to a QMT6171/2/3 through the evaluation board's USB bridge "
                       "library or a Linux I2C adapter.\n\nCommands:\n";
    for (const auto& entry : Commands) {
        text += CommandLine(UseLine(entry.name, entry.arguments), entry.summary);
    }
    text += CommandLine(HelpUse, HelpSummary);
    return text + "\nOptions may stand before or after the command.\n"
                  "Numbers: 0x4C, 4Ch or decimal 76.\n"
                  "Exit status: 0 done, 1 the command failed (save, recall, log, export),\n"
                  "2 usage error, 3 link failure. diff: 0 the chip holds the file, 1 it differs,\n"
                  "2 usage error or a file it cannot compare, 3 link failure.\n"
                  "batch: the highest status of its lines; a link failure ends it with 3.\n"
                  "check-alerts: 0 every step passed or could not be checked, 1 a step failed,\n"
                  "a register was not put back or the check was stopped, 3 link failure.";
}

std::string UseHelp(std::string_view use, std::string_view summaryText) {
    std::string summary(summaryText);
    summary.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(summary.front())));
    const std::string program(ProgramName);
    return "Usage: " + program + " [options] " + std::string(use) + "\n" + summary + ".\n\nRun '" +
           program + " --help' for the options.\n";
}

std::string CommandHelp(const CommandEntry& entry) {
    return UseHelp(UseLine(entry.name, entry.arguments), entry.summary);
}

std::string HelpCommandHelp() {
    return UseHelp(HelpUse, HelpSummary);
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
    const auto pointer = ParseInRange(text, 0, link::LargestPointer);
    if (!pointer) {
        error = link::BadRegisterText(text);
    }
    return pointer;
}

std::string NoArguments(std::string_view name, const std::vector<std::string>& args, CliOptions&) {
    return args.empty() ? std::string{} : std::string(name) + " takes no arguments";
}

std::string ReadArguments(std::string_view, const std::vector<std::string>& args,
                          CliOptions& options) {
    if (args.empty()) {
        return "read needs at least one register";
    }
    std::string error;
    for (const auto& arg : args) {
        const auto pointer = ParsePointer(arg, error);
        if (!pointer) {
            return error;
        }
        options.registers.push_back(*pointer);
    }
    return {};
}

std::string WriteArguments(std::string_view, const std::vector<std::string>& given,
                           CliOptions& options) {
    std::vector<std::string> args;
    bool optionsEnded = false;
    for (const auto& arg : given) {
        if (!optionsEnded && arg == OptionsEnd) {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--no-verify") {
            options.verifyWrite = false;
        } else {
            args.push_back(arg);
        }
    }
    if (args.size() != 2) {
        return "write needs REG VALUE";
    }
    std::string error;
    const auto pointer = ParsePointer(args[0], error);
    if (!pointer) {
        return error;
    }
    options.registers.push_back(*pointer);
    const auto value = ParseNumberArgument(args[1]);
    if (!value) {
        return "bad value '" + args[1] + "'";
    }
    // A typo must not set every bit: the chip's registers hold 0 to 255.
    if (*value < 0 || *value > link::LargestRegisterValue) {
        return link::BadValueText(args[1]);
    }
    options.value = *value;
    return {};
}

// A negative number ("-5", "-0x5") is an argument, not an option.
bool IsOption(const QString& arg) {
    return arg.size() > 1 && arg[0] == '-' && !arg[1].isDigit();
}

// The arguments with every option (and the value of one that takes it) moved
// before a "--" and everything else after it, so that options may stand
// anywhere. A "--" of the user's own ends the options.
QStringList OptionsFirst(const QStringList& arguments, const QList<QCommandLineOption>& options) {
    QStringList takingValue;
    for (const auto& option : options) {
        if (!option.valueName().isEmpty()) {
            for (const auto& name : option.names()) {
                takingValue << (name.size() == 1 ? "-" : "--") + name;
            }
        }
    }
    QStringList front{arguments.value(0)};
    QStringList back{"--"};
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const auto& arg = arguments[i];
        if (optionsEnded || !IsOption(arg)) {
            back << arg;
        } else if (arg == "--") {
            optionsEnded = true;
        } else {
            front << arg;
            if (takingValue.contains(arg)) {
                if (i + 1 == arguments.size()) {
                    return front; // the parser then names the missing value
                }
                front << arguments[++i];
            }
        }
    }
    return front + back;
}

std::vector<std::string> ToStrings(const QStringList& list) {
    std::vector<std::string> strings;
    for (const auto& item : list) {
        strings.push_back(item.toStdString());
    }
    return strings;
}

QString QText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Puts the command's own options that were given before its arguments, as
// its parser reads them; an option of another command is a usage error.
std::string TakeCommandOptions(const QCommandLineParser& parser, const CommandEntry& entry,
                               std::vector<std::string>& args) {
    std::vector<std::string> taken;
    for (const auto& option : CommandOptions) {
        const auto name = QText(option.name);
        if (!parser.isSet(name)) {
            continue;
        }
        if (std::find(entry.options.begin(), entry.options.end(), option.name) ==
            entry.options.end()) {
            return "--" + std::string(option.name) + " is not an option of " +
                   std::string(entry.name);
        }
        taken.push_back("--" + std::string(option.name));
        if (!option.valueName.empty()) {
            taken.push_back(parser.value(name).toStdString());
        }
    }
    // The rest are arguments, even those that look like options (they stood
    // after a "--"): a command with options of its own reads a "--" as their end.
    if (!entry.options.front().empty()) {
        taken.push_back(std::string(OptionsEnd));
    }
    args.insert(args.begin(), taken.begin(), taken.end());
    return {};
}

// The options that set up the connection, which a batch's lines share.
std::string ConnectionOptionOnLine(const QCommandLineParser& parser,
                                   std::initializer_list<const QCommandLineOption*> connection) {
    for (const auto* option : connection) {
        if (parser.isSet(*option)) {
            return "--" + option->names().back().toStdString() +
                   " belongs on the batch's command line, not on one of its lines";
        }
    }
    return {};
}

} // namespace

ParseResult ParseCliArguments(const QStringList& arguments, ParseScope scope) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromStdString(Description()));
    const QCommandLineOption help({"h", "help"}, "Show this help, or the command's use.");
    const QCommandLineOption version("version", "Show the version.");
    const QCommandLineOption bridge(
        "bridge", "Bridge: tarnlink (libTarnlink.so by name), tarnlink:PATH or i2c:/dev/i2c-N.",
        "BRIDGE", "tarnlink");
    const QCommandLineOption board("board", "Board description for the emulated bridge.", "FILE");
    const QCommandLineOption force("force", "i2c: also use addresses a kernel driver owns.");
    const QCommandLineOption address("address", "Chip address; skips the device search.", "ADDR");
    const QCommandLineOption verbose("verbose", "Show the connection stages on standard error.");
    const QCommandLineOption json("json", "Print JSON.");
    QList<QCommandLineOption> all{help, version, bridge, board, force, address, verbose, json};
    for (const auto& option : CommandOptions) {
        all << QCommandLineOption(QText(option.name), QText(option.description),
                                  QText(option.valueName));
    }
    parser.addOptions(all);
    parser.addPositionalArgument("COMMAND",
                                 QString::fromStdString(CommandNameList() + " or help."));
    parser.addPositionalArgument("ARGS", "Arguments of the command.", "[ARGS...]");

    if (!parser.parse(OptionsFirst(arguments, all))) {
        return Usage(parser.errorText().toStdString());
    }
    const auto positional = ToStrings(parser.positionalArguments());
    if (parser.isSet(version)) {
        return {ParseOutcome::Help, {}, std::string(ProgramName) + " " QMT_VERSION "\n"};
    }
    // "help COMMAND" and "COMMAND --help" show the command's use.
    const bool helpCommand = !positional.empty() && positional.front() == HelpCommand;
    if (helpCommand || parser.isSet(help)) {
        const auto topic = positional.size() > (helpCommand ? 1U : 0U)
                               ? positional[helpCommand ? 1 : 0]
                               : std::string{};
        if (topic.empty()) {
            return {ParseOutcome::Help, {}, parser.helpText().toStdString()};
        }
        if (topic == HelpCommand) {
            return {ParseOutcome::Help, {}, HelpCommandHelp()};
        }
        const auto* entry = FindCommand(topic);
        if (entry == nullptr) {
            return Usage("unknown command '" + topic + "'");
        }
        return {ParseOutcome::Help, {}, CommandHelp(*entry)};
    }
    if (scope == ParseScope::BatchLine) {
        if (auto reason =
                ConnectionOptionOnLine(parser, {&bridge, &board, &force, &address, &verbose});
            !reason.empty()) {
            return Usage(std::move(reason));
        }
    }

    ParseResult result{ParseOutcome::Run, {}, {}};
    auto& options = result.options;
    std::string error;
    if (!link::ParseBridgeChoice(parser.value(bridge).toStdString(), options.bridge, error)) {
        return Usage(error);
    }
    options.bridge.force = parser.isSet(force);
    if (parser.isSet(board)) {
        options.bridge.boardFile = parser.value(board).toStdString();
        if (auto problem = link::BoardFileProblem(options.bridge.boardFile); !problem.empty()) {
            return Usage(std::move(problem));
        }
    }
    if (parser.isSet(address)) {
        options.address = link::ParseChipAddress(parser.value(address).toStdString(), error);
        if (!options.address) {
            return Usage(error);
        }
    }
    options.verbose = parser.isSet(verbose);
    options.json = parser.isSet(json);

    if (positional.empty()) {
        return Usage("no command given (" + CommandNameList() + ")");
    }
    const auto* entry = FindCommand(positional.front());
    if (entry == nullptr) {
        return Usage("unknown command '" + positional.front() + "'");
    }
    if (scope == ParseScope::BatchLine && entry->command == Command::Batch) {
        return Usage("a batch cannot run another batch");
    }
    options.command = entry->command;
    std::vector<std::string> args(positional.begin() + 1, positional.end());
    if (auto reason = TakeCommandOptions(parser, *entry, args); !reason.empty()) {
        return Usage(std::move(reason));
    }
    if (auto reason = entry->parse(entry->name, args, options); !reason.empty()) {
        return Usage(std::move(reason));
    }
    return result;
}

} // namespace qmt::cli
