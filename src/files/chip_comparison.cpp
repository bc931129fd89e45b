#include "files/chip_comparison.h"

#include "files/settings_file_io.h"
#include "files/settings_messages.h"
#include "files/settings_save.h"

namespace qmt::files {

bool CompareChipWithFile(const std::string& path, link::RegisterAccess* access,
                         ChipComparison& comparison, std::string& reason) {
    comparison.table.FillRegMap();
    if (!path.empty()) {
        std::string text;
        std::string error;
        if (!ReadSettingsFile(QString::fromLocal8Bit(path), text, error)) {
            reason = "cannot read " + path + ": " + error;
            return false;
        }
        comparison.file = ReadFileValues(text);
        if (comparison.file.end == RecallEnd::NoBlock) {
            reason = path + " has no \"{\": no register to compare";
            return false;
        }
    }
    comparison.rows =
        BuildCompareRows(comparison.table,
                         access != nullptr ? ReadSavedRegisters(comparison.table, *access, false)
                                           : std::vector<SavedRegister>{},
                         path.empty() ? nullptr : &comparison.file);
    return true;
}

std::string UnwrittenFileReason(const std::string& path, const FileValues& file,
                                const std::string& outcome) {
    if (file.end == RecallEnd::Closed) {
        return {};
    }
    return BlockFaultText(path, file.end, file.line, file.longNumber) + ": " + outcome;
}

} // namespace qmt::files
