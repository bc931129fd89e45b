#pragma once

#include "app/application.h"
#include "support/fake_clock.h"
#include "support/stub_bridge.h"

#include <QEvent>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace qmt::test {

// Thrown by the world's exit in place of ending the test process.
struct ProgramExit {
    int status;
};

// A fresh application for one test: a FakeClock, a bridge (a StubBridge with
// a chip at 4Ch unless the test brings its own), settings in a temporary
// folder, message boxes and opened web addresses recorded, and the program's
// exit thrown as ProgramExit.
//
//   AppWorld world;
//   QCOMPARE(world.RunMain(), std::nullopt);   // started
//   world.stub->failAfterRequests = 0;
//   QCOMPARE(world.Tick(), std::optional(3));  // link lost: program ended
class AppWorld {
public:
    using BridgeFactory = std::function<std::unique_ptr<link::Bridge>(FakeClock&)>;
    static constexpr std::int32_t ChipAddress = 0x4C;

    struct Message {
        QString caption;
        QString text;
        bool splashVisible;
        bool mainVisible;
        bool timerActive;
    };

    explicit AppWorld(const BridgeFactory& makeBridge = {});
    ~AppWorld();

    // Runs start-up; the exit status if it ended the program.
    std::optional<int> RunMain();
    // One master timer tick after the clock moved on; the exit status if it
    // ended the program.
    std::optional<int> Tick(std::int64_t advanceMs = 10);

    // Writes raw texts into the settings file before the program reads it.
    void StoreSettings(const QStringList& leftTopWidthHeight);
    // The four stored texts; empty strings for missing keys.
    QStringList StoredSettings() const;

    app::FrmMain& main() const;

    QTemporaryDir folder;
    QString settingsFile;
    std::vector<Message> messages;
    std::vector<QUrl> openedUrls;
    FakeClock* clock = nullptr;
    StubBridge* stub = nullptr; // null when the test brought its own bridge
    std::unique_ptr<app::Application> app;
};

// Calls back for every event of one type that reaches any object while it lives.
class EventProbe : public QObject {
public:
    EventProbe(QEvent::Type type, std::function<void(QObject* watched)> seen);
    ~EventProbe() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QEvent::Type type_;
    std::function<void(QObject*)> seen_;
};

// Records what the splash window shows, from the moment it appears, with
// whether the main window was visible at that moment.
class SplashRecorder : public QObject {
public:
    struct Stage {
        QString text;
        bool mainVisible;
    };

    SplashRecorder();
    ~SplashRecorder() override;

    std::vector<Stage> stages;
    std::vector<double> barWidths;
    QStringList statuses;
    int mainWindowShows = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool MainVisible() const;
};

} // namespace qmt::test
