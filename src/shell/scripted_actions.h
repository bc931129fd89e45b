#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace qmt::shell {

// For unattended runs (the end-to-end tests), off unless QMT_TEST_ACTIONS is
// set: what a user would do once the program is up, given as steps separated
// by ";". A step NAME triggers the menu item or toolbar action, or clicks the
// button or check box, of that object name; NAME=TEXT types TEXT into that
// text box and presses Enter. Each step runs from the event loop, one at a
// time, on the main window and the child windows inside it. A step that
// names no control is reported on standard error and the rest still run.
// Steps must not open a modal dialog: nobody would close it.
class ScriptedActions {
public:
    static constexpr const char* Variable = "QMT_TEST_ACTIONS";

    // Splits the variable's text into steps; none when it is unset or empty.
    static QStringList Steps(const QString& text);
    // Schedules the steps on the event loop; they run once it does.
    static void Play(QWidget& mainWindow, const QStringList& steps);
    // Runs one step now; false if it names no control.
    static bool RunStep(QWidget& mainWindow, const QString& step);
};

} // namespace qmt::shell
