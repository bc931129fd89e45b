#include "views/logging/logging_dialogs.h"

#include "core/app_identity.h"

#include <QFileDialog>
#include <QMessageBox>

namespace qmt::views {

namespace {

QString ChooseLogFile(QWidget* parent, const QString& folder) {
    QFileDialog dialog(parent, QStringLiteral("Open"), folder, QStringLiteral("Log Files (*.csv)"));
    // An open dialog that also takes a new name: the log is appended to.
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}

void Warn(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, core::ApplicationTitle(), text);
}

} // namespace

LoggingDialogs LoggingDialogs::Desktop() {
    return {ChooseLogFile, Warn};
}

} // namespace qmt::views
