#pragma once

#include "core/application.h"
#include "shell/shell.h"
#include "support/fake_clock.h"
#include "support/stub_bridge.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>
#include <optional>
#include <vector>

namespace qmt::test {

// A fresh application: a FakeClock, the given bridge or a StubBridge with a
// chip at 4Ch, settings in a temporary folder, message boxes and opened web
// addresses recorded, the program's exit caught and returned. The trace holds
// the splash window's stages and each showing of the main window, noting a
// stage shown over the visible main window and a main window shown with the
// splash still loaded or the master timer running.
class AppWorld : public QObject {
public:
    static constexpr std::int32_t ChipAddress = 0x4C;
    struct Message {
        QString caption, text;
        bool splashVisible, mainVisible, timerActive;
    };

    explicit AppWorld(std::unique_ptr<link::Bridge> bridge = nullptr);
    ~AppWorld() override;

    std::optional<int> RunMain();
    // One master timer tick after the clock moved on.
    std::optional<int> Tick(std::int64_t advanceMs = 10);
    // Raw MainLeft, MainTop, MainWidth, MainHeight texts in the settings file.
    void StoreSettings(const QStringList& leftTopWidthHeight);
    QStringList StoredSettings() const;
    shell::FrmMain& main() const { return *shell->mainWindow(); }

    QTemporaryDir folder;
    QString settingsFile;
    std::vector<Message> messages;
    std::vector<QUrl> openedUrls;
    QStringList trace;
    FakeClock* clock = nullptr;
    StubBridge* stub = nullptr; // null when the test brought its own bridge
    std::unique_ptr<core::Application> app;
    // Declared after the application, so that it goes first.
    std::unique_ptr<shell::Shell> shell;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace qmt::test
