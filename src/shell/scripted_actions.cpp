#include "shell/scripted_actions.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <iostream>

namespace qmt::shell {

namespace {

void PlayFrom(const QPointer<QWidget>& mainWindow, const QStringList& steps, qsizetype next) {
    if (mainWindow.isNull() || next >= steps.size()) {
        return;
    }
    // Like a user's next click: after the event loop has handled this one.
    // Queued before the step runs, so that a step opening a modal dialog (a
    // file dialog) is followed by the next step inside the dialog's own loop.
    QTimer::singleShot(0, mainWindow.data(),
                       [mainWindow, steps, next] { PlayFrom(mainWindow, steps, next + 1); });
    const QString& step = steps.at(next);
    if (!ScriptedActions::RunStep(*mainWindow, step)) {
        std::cerr << "qmteval: " << ScriptedActions::Variable << ": no control for '"
                  << step.toStdString() << "'\n";
    }
}

void TypeAndEnter(QLineEdit& box, const QString& text) {
    box.setFocus();
    box.setText(text);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(&box, &press);
    QCoreApplication::sendEvent(&box, &release);
}

} // namespace

QStringList ScriptedActions::Steps(const QString& text) {
    QStringList steps;
    for (const QString& step : text.split(QLatin1Char(';'))) {
        if (!step.trimmed().isEmpty()) {
            steps.append(step.trimmed());
        }
    }
    return steps;
}

void ScriptedActions::Play(QWidget& mainWindow, const QStringList& steps) {
    if (steps.isEmpty()) {
        return;
    }
    const QPointer<QWidget> window(&mainWindow);
    QTimer::singleShot(0, &mainWindow, [window, steps] { PlayFrom(window, steps, 0); });
}

bool ScriptedActions::RunStep(QWidget& mainWindow, const QString& step) {
    const qsizetype equals = step.indexOf(QLatin1Char('='));
    if (equals >= 0) {
        auto* box = mainWindow.findChild<QLineEdit*>(step.left(equals));
        if (box == nullptr) {
            return false;
        }
        TypeAndEnter(*box, step.mid(equals + 1));
        return true;
    }
    if (auto* action = mainWindow.findChild<QAction*>(step)) {
        action->trigger();
        return true;
    }
    if (auto* button = mainWindow.findChild<QAbstractButton*>(step)) {
        button->click();
        return true;
    }
    return false;
}

} // namespace qmt::shell
