#include "views/replay/replay_dialogs.h"

#include "core/app_identity.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace qmt::views {

namespace {

QString ChooseLog(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open Log"), folder,
                                        QStringLiteral("Log Files (*.csv);;All Files (*)"));
}

int PickRun(QWidget* parent, const QStringList& choices) {
    bool ok = false;
    const QString chosen = QInputDialog::getItem(
        parent, QStringLiteral("Open Log"), QStringLiteral("The file holds several runs. Show:"),
        choices, static_cast<int>(choices.size()) - 1, false, &ok);
    return ok ? static_cast<int>(choices.indexOf(chosen)) : -1;
}

void Warn(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, core::ApplicationTitle(), text);
}

} // namespace

ReplayDialogs ReplayDialogs::Desktop() {
    return {ChooseLog, PickRun, Warn};
}

} // namespace qmt::views
