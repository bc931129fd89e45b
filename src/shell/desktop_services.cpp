#include "shell/desktop_services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>

namespace qmt::shell {

namespace {

// Off unless set: for unattended runs (the end-to-end tests), which have no
// one to read a box or press OK.
constexpr const char* MessageLogVariable = "QMT_TEST_MESSAGE_LOG";

// One line per message: the caption, a tab, the text (line breaks as "\n").
void AppendToMessageLog(const QString& logFile, const QString& caption, const QString& text) {
    QFile file(logFile);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        QString line = caption + QLatin1Char('\t') + text;
        line.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        file.write((line + QLatin1Char('\n')).toUtf8());
    }
}

} // namespace

core::ShellServices DesktopServices() {
    core::ShellServices services;
    const QString messageLog = qEnvironmentVariable(MessageLogVariable);
    services.showCriticalMessage = [messageLog](const QString& caption, const QString& text) {
        // Over the window the user was working in, if there is one.
        QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok,
                        QApplication::activeWindow());
        if (!messageLog.isEmpty()) {
            AppendToMessageLog(messageLog, caption, text);
            // Pressed as a user would, once the box runs its own event loop.
            QTimer::singleShot(0, box.button(QMessageBox::Ok), &QAbstractButton::click);
        }
        box.exec();
    };
    services.exitProgram = [](int status) { std::exit(status); };
    services.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return services;
}

} // namespace qmt::shell
