#include "views/save/settings_file_dialogs.h"

#include <QFileDialog>

namespace qmt::views {

namespace {

QString AskPath(QWidget* parent, const QString& folder, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, QString(), folder, QStringLiteral("Text Files (*.sav)"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    // A name typed without extension still lands in a file the recall lists.
    dialog.setDefaultSuffix(QStringLiteral("sav"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace

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
