#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace qmt::core {

// What the program asks of the desktop around it. Tests replace each part,
// so that no message box blocks them and no failure ends the test process.
struct ShellServices {
    // A critical-error message box with an OK button; returns once it is dismissed.
    std::function<void(const QString& caption, const QString& text)> showCriticalMessage;
    // Ends the program with the status; the program's own never returns.
    std::function<void(int status)> exitProgram;
    // The desktop's "open" action on a web address.
    std::function<void(const QUrl& url)> openUrl;
};

} // namespace qmt::core
