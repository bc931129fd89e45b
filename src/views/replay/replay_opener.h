#pragma once

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
    explicit ReplayOpener(QWidget* dialogParent);

    void SetDialogs(ReplayDialogs dialogs) { dialogs_ = std::move(dialogs); }
    // Asks for a log and returns its replay window, or null when the user
    // cancelled or the file cannot be opened (after saying so).
    QWidget* Open();

private:
    QWidget* dialogParent_;
    ReplayDialogs dialogs_ = ReplayDialogs::Desktop();
    QString folder_; // where the last log was picked
};

} // namespace qmt::views
