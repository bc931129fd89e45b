#include "files/settings_transfer.h"

#include "files/settings_file_format.h"
#include "files/settings_file_io.h"
#include "files/settings_messages.h"
#include "files/settings_reader.h"
#include "files/settings_save.h"

namespace qmt::files {

TransferOutcome SaveChipSettings(link::RegisterAccess& access, const std::string& path,
                                 const std::string& comment, bool changedOnly) {
    const SaveStamp stamp = SaveStampNow();
    model::RegMapStuff table;
    table.FillRegMap();
    const auto rows = ReadSavedRegisters(table, access, changedOnly);
    const std::string text =
        SettingsFileHeader(stamp.date, stamp.time, comment) + RegisterBlock(rows);
    std::string error;
    if (!WriteSettingsFile(QString::fromLocal8Bit(path), text, error)) {
        return {0, SaveFailedText(path, error)};
    }
    return {static_cast<int>(rows.size()), {}};
}

TransferOutcome RecallChipSettings(link::RegisterAccess& access, const std::string& path) {
    std::string text;
    std::string error;
    if (!ReadSettingsFile(QString::fromLocal8Bit(path), text, error)) {
        return {0, RecallReadFailedText(path, error)};
    }
    const auto result = RecallSettings(
        text, [] {},
        [&access](std::int32_t address, std::int32_t value) {
            access.WriteRegister(access.usb().DeviceAddress, address, value);
        });
    if (result.block.end != RecallEnd::Closed) {
        return {0, RecallText(result, path)};
    }
    return {result.written, {}};
}

} // namespace qmt::files
