#include "files/register_script.h"

#include "model/number_text.h"

#include <QDateTime>

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

class ScriptWriter {
public:
    explicit ScriptWriter(const ScriptHeader& header)
        : prefix_("i2cset -y " + std::to_string(header.bus) + " " + ByteText(header.address) +
                  " ") {}

    void Rows(const std::vector<std::pair<const CompareRow*, std::int32_t>>& rows) {
        for (const auto& [row, value] : rows) {
            Write(row->writeAddress, ByteText(value), row->name);
        }
    }
    void Write(std::int32_t pointer, const std::string& value, const std::string& name) {
        text_ += prefix_ + ByteText(pointer) + " " + value + " b # " + name + "\n";
    }
    void Line(const std::string& line) { text_ += line + "\n"; }
    const std::string& text() const { return text_; }

private:
    std::string prefix_;
    std::string text_;
};

// Configuration Reg 1 as the script writes it: the rows' value, or the
// chip's read by the script itself into $cfg.
struct Configuration {
    std::optional<std::int32_t> value;
    std::string Text() const { return value ? ByteText(*value) : "\"$cfg\""; }
    std::string Selecting(bool remote2) const {
        if (value) {
            return ByteText(remote2 ? (*value | Remote2Bit) : (*value & ~Remote2Bit));
        }
        return remote2 ? "$((cfg | 0x08))" : "$((cfg & 0xF7))";
    }
};

} // namespace

std::string ByteText(std::int32_t value) {
    const std::string digits = model::HexText(value);
    return "0x" + std::string(digits.size() < 2 ? 2 - digits.size() : 0, '0') + digits;
}

std::string I2csetScript(const model::RegMapStuff& table, const std::vector<CompareRow>& rows,
                         ScriptValues values, const ScriptHeader& header) {
    const std::string bus = std::to_string(header.bus);
    const ScriptRows sorted = SortRows(table, rows, values);
    const Configuration configuration{sorted.configuration};
    const bool shared = !sorted.remote1.empty() || !sorted.remote2.empty();

    ScriptWriter script(header);
    script.Line("#!/bin/sh");
    script.Line("# " + std::string(ChipName) + " register settings for the chip at " +
                ByteText(header.address) + " on I2C bus " + bus);
    script.Line("# Values of " + Printable(header.source) + ", taken " + Printable(header.time));
    script.Line("# Bit 3 of Configuration Reg 1 selects Remote 1 for the Remote 1 rows of the\n"
                "# shared remote pointers and Remote 2 for the Remote 2 rows; Configuration\n"
                "# Reg 2 comes last, as its bit 7 locks the limits.");
    script.Line("set -e");

    std::string current; // the value last written at 0x09
    const auto select = [&](const std::string& value, const std::string& name) {
        if (value != current) {
            script.Write(ConfigurationWritePointer, value, name);
            current = value;
        }
    };
    if (!configuration.value && shared) {
        script.Line("cfg=$(i2cget -y " + bus + " " + ByteText(header.address) + " " +
                    ByteText(ConfigurationReadPointer) + ") # " + ConfigurationName +
                    " as the chip holds it");
    }
    if (!sorted.remote1.empty()) {
        select(configuration.Selecting(false), ConfigurationName + ", Remote 1 selected");
    } else if (configuration.value) {
        select(configuration.Text(), ConfigurationName);
    }
    script.Rows(sorted.before);
    script.Rows(sorted.remote1);
    if (!sorted.remote2.empty()) {
        select(configuration.Selecting(true), ConfigurationName + ", Remote 2 selected");
    }
    script.Rows(sorted.remote2);
    script.Rows(sorted.after);
    if (configuration.value || shared) {
        select(configuration.Text(), ConfigurationName);
    }
    script.Rows(sorted.last);
    return script.text() + sorted.comments;
}

std::string ScriptTimeNow() {
    return QDateTime::currentDateTime()
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        .toStdString();
}

} // namespace qmt::files
