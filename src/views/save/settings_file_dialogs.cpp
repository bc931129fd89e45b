#include "views/save/settings_file_dialogs.h"

#include <QFileDialog>

namespace qmt::views {

namespace {

QString AskPath(QWidget* parent, const QString& folder, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, QString(), folder);
    PrepareSettingsFileDialog(dialog, mode);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace

void PrepareSettingsFileDialog(QFileDialog& dialog, QFileDialog::AcceptMode mode) {
    dialog.setNameFilter(QStringLiteral("Text Files (*.sav)"));
    dialog.setAcceptMode(mode);
    const bool save = mode == QFileDialog::AcceptSave;
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A save replaces an existing file without a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, save);
    // A name typed without extension still lands in a file the recall lists.
    dialog.setDefaultSuffix(QStringLiteral("sav"));
}

SettingsFileDialogs SettingsFileDialogs::Desktop() {
    return {
        [](QWidget* parent, const QString& folder) {
            return AskPath(parent, folder, QFileDialog::AcceptSave);
        },
        [](QWidget* parent, const QString& folder) {
            return AskPath(parent, folder, QFileDialog::AcceptOpen);
        },
    };
}

} // namespace qmt::views
