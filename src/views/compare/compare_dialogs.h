#pragma once

#include "files/register_script.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace qmt::views {

// What the export asks before it writes a script.
struct ScriptDefaults {
    int bus = 1;
    std::int32_t address = 0; // the found chip's
    bool fileLoaded = false;  // the file's values can be chosen
    QString folder;
};
struct ScriptChoice {
    int bus = 1;
    std::int32_t address = 0;
    files::ScriptValues values = files::ScriptValues::Chip;
    QString path;
    files::ExportFormat format = files::ExportFormat::I2cset;
};

// The dialogs of the Compare Registers window; tests answer them without one.
struct CompareDialogs {
    // The settings file to compare with; empty when cancelled.
    std::function<QString(QWidget* parent, const QString& folder)> askSettingsFile;
    // Bus, address, whose values and the script's path; none when cancelled.
    std::function<std::optional<ScriptChoice>(QWidget* parent, const ScriptDefaults& defaults)>
        askScript;

    // The desktop's: the Save/Recall window's open dialog, and a small form
    // followed by a save dialog for "*.sh".
    static CompareDialogs Desktop();
};

} // namespace qmt::views
