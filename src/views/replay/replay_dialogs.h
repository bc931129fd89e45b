#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace qmt::views {

// The modal boxes of replaying a log, replaceable so that tests answer them
// instead of a person.
struct ReplayDialogs {
    // The open-file dialog for a log, starting in the folder; returns the
    // chosen full path, or an empty text when cancelled.
    std::function<QString(QWidget* parent, const QString& folder)> chooseFile;
    // Offers the choices (all runs first, then each run); returns the index
    // of the one chosen, or -1 when cancelled.
    std::function<int(QWidget* parent, const QStringList& choices)> pickRun;
    // A warning box with the program's title and an OK button.
    std::function<void(QWidget* parent, const QString& text)> warn;

    static ReplayDialogs Desktop();
};

} // namespace qmt::views
