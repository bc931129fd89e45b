#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace qmt::views {

// The modal boxes of the logging window, replaceable so that tests answer
// them instead of a person.
struct LoggingDialogs {
    // The open-file dialog for the log, starting in the folder; returns the
    // chosen full path, or an empty text when cancelled.
    std::function<QString(QWidget* parent, const QString& folder)> chooseFile;
    // A warning box with the program's title and an OK button.
    std::function<void(QWidget* parent, const QString& text)> warn;

    static LoggingDialogs Desktop();
};

} // namespace qmt::views
