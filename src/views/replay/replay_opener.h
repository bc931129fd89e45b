#pragma once

#include "core/dialog_folders.h"
#include "views/replay/replay_dialogs.h"

#include <QObject>
#include <QString>

class QWidget;

namespace qmt::views {

// Opens saved logs for replay: asks for the file, then builds a window that
// reads it. Each file gets a window of its own; the live graph is not
// touched.
class ReplayOpener : public QObject {
    Q_OBJECT

public:
    // Dialogs are shown over dialogParent.
    ReplayOpener(core::DialogFolders& folders, QWidget* dialogParent);

    void SetDialogs(ReplayDialogs dialogs) { dialogs_ = std::move(dialogs); }
    // Asks for a log and returns its replay window, or null when the user
    // cancelled or the file cannot be opened (after saying so).
    QWidget* Open();

private:
    core::DialogFolders& folders_;
    QWidget* dialogParent_;
    ReplayDialogs dialogs_ = ReplayDialogs::Desktop();
};

} // namespace qmt::views
