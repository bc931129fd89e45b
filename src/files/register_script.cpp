#include "files/register_script.h"

#include "model/number_text.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace qmt::files {

namespace {

constexpr std::string_view ChipName = "QMT6171/2/3";
constexpr std::int32_t ConfigurationWritePointer = 0x09;
constexpr std::int32_t ConfigurationReadPointer = 0x03;
constexpr std::int32_t LockingWritePointer = 0x24;
constexpr std::int32_t Remote2Bit = 0x08;
constexpr unsigned char ControlCharacterEnd = 0x20;
constexpr unsigned char Delete = 0x7F;
const std::string ConfigurationName = "Configuration Reg 1";

std::string ValueText(std::int32_t value) {
    return model::HexText(value) + "H";
}

std::string ChannelName(bool remote2) {
    return remote2 ? "Remote 2" : "Remote 1";
}

// A file name with a line break would otherwise put a command into the script.
std::string Printable(std::string text) {
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < ControlCharacterEnd || byte == Delete) {
            c = '?';
        }
    }
    return text;
}

// Why the writes come in their order, as comment lines.
std::string OrderNote(const std::string& lead) {
    return lead + "Bit 3 of Configuration Reg 1 selects Remote 1 for the Remote 1 rows of the\n" +
           lead + "shared remote pointers and Remote 2 for the Remote 2 rows; Configuration\n" +
           lead + "Reg 2 comes last, as its bit 7 locks the limits.\n";
}

// The rows of a script, sorted into the groups it writes them in.
struct ScriptRows {
    std::optional<std::int32_t> configuration; // the last Configuration Reg 1 row's
    std::vector<std::pair<const CompareRow*, std::int32_t>> before, remote1, remote2, after, last;
    std::string comments;
};

ScriptRows SortRows(const model::RegMapStuff& table, const std::vector<CompareRow>& rows,
                    ScriptValues values) {
    ScriptRows sorted;
    bool sharedSeen = false;
    for (const CompareRow& row : rows) {
        if (values == ScriptValues::Chip && !row.powerOn) {
            continue; // a file's extra line: its register has its own row
        }
        const auto value = values == ScriptValues::Chip ? row.chip : row.file;
        const auto channel = SharedRowChannel(table, row.index);
        if (!value) {
            sorted.comments += "# " + row.name + ": " +
                               (values == ScriptValues::File ? "not in the file" : "not read") +
                               "\n";
        } else if (row.writeAddress == 0) {
            sorted.comments += "# " + row.name + ": " + ValueText(*value) + ", read-only\n";
        } else if (values == ScriptValues::Chip && row.otherChannel) {
            sorted.comments += "# " + row.name + ": not read, the remote registers show " +
                               ChannelName(!*channel) + "\n";
        } else if (row.writeAddress == ConfigurationWritePointer) {
            sorted.configuration = *value;
        } else if (row.writeAddress == LockingWritePointer) {
            sorted.last.emplace_back(&row, *value);
        } else if (channel) {
            sharedSeen = true;
            (*channel ? sorted.remote2 : sorted.remote1).emplace_back(&row, *value);
        } else {
            (sharedSeen ? sorted.after : sorted.before).emplace_back(&row, *value);
        }
    }
    return sorted;
}

// Configuration Reg 1 as the rows set it, or (a file without it) the
// chip's, which only a script can read.
struct Configuration {
    std::optional<std::int32_t> value;
    std::optional<std::int32_t> Selecting(bool remote2) const {
        if (!value) {
            return std::nullopt;
        }
        return remote2 ? (*value | Remote2Bit) : (*value & ~Remote2Bit);
    }
};

void AddRows(std::vector<RegisterWrite>& writes,
             const std::vector<std::pair<const CompareRow*, std::int32_t>>& rows) {
    for (const auto& [row, value] : rows) {
        writes.push_back({row->writeAddress, value, std::nullopt, row->name});
    }
}

// The shell text of a write's value: Configuration Reg 1 of the chip is
// read by the script into $cfg.
std::string ShellValue(const RegisterWrite& write) {
    if (write.value) {
        return ByteText(*write.value);
    }
    if (!write.selectsRemote2) {
        return "\"$cfg\"";
    }
    return *write.selectsRemote2 ? "$((cfg | 0x08))" : "$((cfg & 0xF7))";
}

// The comment text of a C header: no "*/" may end the comment early.
std::string CommentText(std::string text) {
    text = Printable(std::move(text));
    for (std::size_t at = text.find("*/"); at != std::string::npos; at = text.find("*/", at)) {
        text[at] = '?';
    }
    return text;
}

} // namespace

std::string ByteText(std::int32_t value) {
    const std::string digits = model::HexText(value);
    return "0x" + std::string(digits.size() < 2 ? 2 - digits.size() : 0, '0') + digits;
}

SettingsWrites PlanSettingsWrites(const model::RegMapStuff& table,
                                  const std::vector<CompareRow>& rows, ScriptValues values) {
    const ScriptRows sorted = SortRows(table, rows, values);
    const Configuration configuration{sorted.configuration};
    const bool shared = !sorted.remote1.empty() || !sorted.remote2.empty();

    SettingsWrites plan;
    plan.comments = sorted.comments;
    plan.readsConfiguration = !configuration.value && shared;
    // Configuration Reg 1 is written only where its value changes.
    std::optional<std::pair<std::optional<std::int32_t>, std::optional<bool>>> current;
    const auto select = [&](std::optional<bool> remote2, const std::string& name) {
        const auto value = remote2 ? configuration.Selecting(*remote2) : configuration.value;
        const auto written = std::pair(value, value ? std::nullopt : remote2);
        if (current != written) {
            plan.writes.push_back({ConfigurationWritePointer, value, written.second, name});
            current = written;
        }
    };
    if (!sorted.remote1.empty()) {
        select(false, ConfigurationName + ", Remote 1 selected");
    } else if (configuration.value) {
        select(std::nullopt, ConfigurationName);
    }
    AddRows(plan.writes, sorted.before);
    AddRows(plan.writes, sorted.remote1);
    if (!sorted.remote2.empty()) {
        select(true, ConfigurationName + ", Remote 2 selected");
    }
    AddRows(plan.writes, sorted.remote2);
    AddRows(plan.writes, sorted.after);
    if (configuration.value || shared) {
        select(std::nullopt, ConfigurationName);
    }
    AddRows(plan.writes, sorted.last);
    return plan;
}

std::string I2csetScript(const model::RegMapStuff& table, const std::vector<CompareRow>& rows,
                         ScriptValues values, const ScriptHeader& header) {
    const std::string bus = std::to_string(header.bus);
    const SettingsWrites plan = PlanSettingsWrites(table, rows, values);
    std::string text = "#!/bin/sh\n# " + std::string(ChipName) +
                       " register settings for the chip at " + ByteText(header.address) +
                       " on I2C bus " + bus + "\n# Values of " + Printable(header.source) +
                       ", taken " + Printable(header.time) + "\n" + OrderNote("# ") + "set -e\n";
    if (plan.readsConfiguration) {
        text += "cfg=$(i2cget -y " + bus + " " + ByteText(header.address) + " " +
                ByteText(ConfigurationReadPointer) + ") # " + ConfigurationName +
                " as the chip holds it\n";
    }
    const std::string prefix = "i2cset -y " + bus + " " + ByteText(header.address) + " ";
    for (const RegisterWrite& write : plan.writes) {
        text += prefix + ByteText(write.pointer) + " " + ShellValue(write) + " b # " + write.name +
                "\n";
    }
    return text + plan.comments;
}

std::optional<std::string> RegisterTableC(const SettingsWrites& plan, const ScriptHeader& header) {
    if (plan.readsConfiguration) {
        return std::nullopt;
    }
    std::string text = "/* " + std::string(ChipName) + " register settings for the chip at " +
                       ByteText(header.address) + "\n * Values of " + CommentText(header.source) +
                       ", taken " + CommentText(header.time) + "\n" + OrderNote(" * ") +
                       " * Write them in this order. */\n" +
                       "#ifndef QMT_REGISTER_WRITES_H\n#define QMT_REGISTER_WRITES_H\n\n"
                       "#include <stdint.h>\n\n"
                       "static const struct {\n    uint8_t reg;\n    uint8_t value;\n"
                       "} qmt_register_writes[] = {\n";
    for (const RegisterWrite& write : plan.writes) {
        text += "    {" + ByteText(write.pointer) + ", " + ByteText(*write.value) + "}, /* " +
                CommentText(write.name) + " */\n";
    }
    text += "};\n";
    for (std::size_t at = 0; at < plan.comments.size();) {
        const std::size_t end = plan.comments.find('\n', at);
        text += "/* " + CommentText(plan.comments.substr(at + 2, end - at - 2)) + " */\n";
        at = end + 1;
    }
    return text + "\n#endif\n";
}

std::optional<std::string> RegisterTableJson(const SettingsWrites& plan,
                                             const ScriptHeader& header) {
    if (plan.readsConfiguration) {
        return std::nullopt;
    }
    QJsonArray writes;
    for (const RegisterWrite& write : plan.writes) {
        writes.append(QJsonObject{{"reg", write.pointer},
                                  {"value", *write.value},
                                  {"name", QString::fromStdString(write.name)}});
    }
    const QJsonObject document{
        {"chip", QString::fromUtf8(ChipName.data(), static_cast<qsizetype>(ChipName.size()))},
        {"address", header.address},
        {"source", QString::fromStdString(header.source)},
        {"taken", QString::fromStdString(header.time)},
        {"writes", writes}};
    return QJsonDocument(document).toJson(QJsonDocument::Indented).toStdString();
}

std::optional<std::string> ExportSettings(const model::RegMapStuff& table,
                                          const std::vector<CompareRow>& rows, ScriptValues values,
                                          const ScriptHeader& header, ExportFormat format) {
    if (format == ExportFormat::I2cset) {
        return I2csetScript(table, rows, values, header);
    }
    const SettingsWrites plan = PlanSettingsWrites(table, rows, values);
    return format == ExportFormat::C ? RegisterTableC(plan, header)
                                     : RegisterTableJson(plan, header);
}

std::string ScriptTimeNow() {
    return QDateTime::currentDateTime()
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        .toStdString();
}

} // namespace qmt::files
