#include "files/register_script.h"

#include "model/number_text.h"

#include <QDateTime>

namespace qmt::files {

namespace {

constexpr std::string_view ChipName = "QMT6171/2/3";

std::string ValueText(std::int32_t value) {
    return model::HexText(value) + "H";
}

} // namespace

std::string ByteText(std::int32_t value) {
    const std::string digits = model::HexText(value);
    return "0x" + std::string(digits.size() < 2 ? 2 - digits.size() : 0, '0') + digits;
}

std::string I2csetScript(const std::vector<CompareRow>& rows, ScriptValues values,
                         const ScriptHeader& header) {
    const std::string bus = std::to_string(header.bus);
    std::string text = "#!/bin/sh\n";
    text += "# " + std::string(ChipName) + " register settings for the chip at " +
            ByteText(header.address) + " on I2C bus " + bus + "\n";
    text += "# Values of " + header.source + ", taken " + header.time + "\n";
    text += "# Configuration Reg 1 comes first, so the remote registers after it reach the\n"
            "# channel it selects.\n";
    text += "set -e\n";
    for (const CompareRow& row : rows) {
        const auto value = values == ScriptValues::Chip ? row.chip : row.file;
        if (!value) {
            text += "# " + row.name + ": not in the file\n";
        } else if (row.writeAddress == 0) {
            text += "# " + row.name + ": " + ValueText(*value) + ", read-only\n";
        } else {
            text += "i2cset -y " + bus + " " + ByteText(header.address) + " " +
                    ByteText(row.writeAddress) + " " + ByteText(*value) + " b # " + row.name + "\n";
        }
    }
    return text;
}

std::string ScriptTimeNow() {
    return QDateTime::currentDateTime()
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        .toStdString();
}

} // namespace qmt::files
