#pragma once

#include <QFileDialog>
#include <QString>
#include <functional>

namespace qmt::views {

// The file dialogs of the Save/Recall window; tests answer them without a
// dialog. Each gets the parent and the initial folder and returns the
// chosen path, empty when the user cancelled.
struct SettingsFileDialogs {
    using Ask = std::function<QString(QWidget* parent, const QString& folder)>;
    Ask askSavePath;
    Ask askOpenPath;

    // Modal desktop dialogs filtered to "Text Files (*.sav)".
    static SettingsFileDialogs Desktop();
};

// Sets up a dialog of Desktop(): the filter, the mode, the ".sav" suffix for
// a name typed without one, and no question before a save replaces a file.
void PrepareSettingsFileDialog(QFileDialog& dialog, QFileDialog::AcceptMode mode);

} // namespace qmt::views
