#include "app/shell_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <cstdlib>

namespace qmt::app {

ShellServices ShellServices::Desktop() {
    ShellServices services;
    services.showCriticalMessage = [](const QString& caption, const QString& text) {
        // Over the window the user was working in, if there is one.
        QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    };
    services.exitProgram = [](int status) { std::exit(status); };
    services.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return services;
}

} // namespace qmt::app
