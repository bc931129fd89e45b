#pragma once

#include "app/application.h"
#include "support/fake_clock.h"
#include "support/stub_bridge.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>
#include <optional>
#include <vector>

namespace qmt::test {

// A fresh application for one test: a FakeClock, the given bridge or a
// StubBridge with a chip at 4Ch, settings in a temporary
// folder, message boxes and opened web addresses recorded, and the program's
// exit caught and returned by RunMain and Tick.
class AppWorld {
public:
    static constexpr std::int32_t ChipAddress = 0x4C;

    struct Message {
        QString caption;
        QString text;
        bool splashVisible;
        bool mainVisible;
        bool timerActive;
    };

    explicit AppWorld(std::unique_ptr<link::Bridge> bridge = nullptr);
    ~AppWorld();

    // Runs start-up; the exit status if it ended the program.
    std::optional<int> RunMain();
    // One master timer tick after the clock moved on; the exit status if it
    // ended the program.
    std::optional<int> Tick(std::int64_t advanceMs = 10);

    // Raw MainLeft, MainTop, MainWidth, MainHeight texts in the settings file.
    void StoreSettings(const QStringList& leftTopWidthHeight);
    QStringList StoredSettings() const;

    app::FrmMain& main() const { return *app->mainWindow(); }

    QTemporaryDir folder;
    QString settingsFile;
    std::vector<Message> messages;
    std::vector<QUrl> openedUrls;
    FakeClock* clock = nullptr;
    StubBridge* stub = nullptr; // null when the test brought its own bridge
    std::unique_ptr<app::Application> app;
};

// Records what the splash window shows from the moment it appears, and
// notes as faults a stage shown over the visible main window and a main
// window shown with the splash still loaded or the master timer running.
class SplashRecorder : public QObject {
public:
    SplashRecorder();
    ~SplashRecorder() override;

    QStringList stages;
    QStringList faults;
    int mainWindowShows = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace qmt::test
