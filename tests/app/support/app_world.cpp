#include "app/support/app_world.h"

#include "app/frm_main.h"
#include "app/frm_splash.h"
#include "app/startup.h"
#include "link/executable_folder.h"

#include <QApplication>
#include <QEvent>
#include <QSettings>

namespace qmt::test {

namespace {

const QStringList PlacementKeys = {QStringLiteral("MainLeft"), QStringLiteral("MainTop"),
                                   QStringLiteral("MainWidth"), QStringLiteral("MainHeight")};

} // namespace

AppWorld::AppWorld(const BridgeFactory& makeBridge)
    : settingsFile(folder.filePath(QStringLiteral("settings.conf"))) {
    auto fakeClock = std::make_unique<FakeClock>();
    clock = fakeClock.get();
    std::unique_ptr<link::Bridge> bridge;
    if (makeBridge) {
        bridge = makeBridge(*clock);
    } else {
        auto stubBridge = std::make_unique<StubBridge>();
        stubBridge->AddChip(ChipAddress);
        stub = stubBridge.get();
        bridge = std::move(stubBridge);
    }

    app::ShellServices services;
    services.showCriticalMessage = [this](const QString& caption, const QString& text) {
        const app::FrmSplash* splash = app->splash();
        app::FrmMain* mainWindow = app->mainWindow();
        messages.push_back({caption, text, splash != nullptr && splash->isVisible(),
                            mainWindow != nullptr && mainWindow->isVisible(),
                            mainWindow != nullptr && mainWindow->tmrMaster().isActive()});
    };
    services.exitProgram = [](int status) { throw ProgramExit{status}; };
    services.openUrl = [this](const QUrl& url) { openedUrls.push_back(url); };
    app = std::make_unique<app::Application>(std::move(fakeClock), std::move(bridge), settingsFile,
                                             std::move(services));
}

AppWorld::~AppWorld() {
    app.reset();
    // Child windows closed during the test are deleted by the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::optional<int> AppWorld::RunMain() {
    try {
        app::Main(*app, {link::ExecutableFolder(), false, {}});
    } catch (const ProgramExit& exit) {
        return exit.status;
    }
    return std::nullopt;
}

std::optional<int> AppWorld::Tick(std::int64_t advanceMs) {
    clock->AdvanceMs(advanceMs);
    try {
        main().tmrMaster_Timer();
    } catch (const ProgramExit& exit) {
        return exit.status;
    }
    return std::nullopt;
}

void AppWorld::StoreSettings(const QStringList& leftTopWidthHeight) {
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Settings"));
    for (qsizetype key = 0; key < PlacementKeys.size(); ++key) {
        settings.setValue(PlacementKeys[key], leftTopWidthHeight.value(key));
    }
}

QStringList AppWorld::StoredSettings() const {
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Settings"));
    QStringList values;
    for (const QString& key : PlacementKeys) {
        values.append(settings.value(key).toString());
    }
    return values;
}

app::FrmMain& AppWorld::main() const {
    return *app->mainWindow();
}

EventProbe::EventProbe(QEvent::Type type, std::function<void(QObject*)> seen)
    : type_(type), seen_(std::move(seen)) {
    qApp->installEventFilter(this);
}

EventProbe::~EventProbe() {
    qApp->removeEventFilter(this);
}

bool EventProbe::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == type_) {
        seen_(watched);
    }
    return false;
}

SplashRecorder::SplashRecorder() {
    qApp->installEventFilter(this);
}

SplashRecorder::~SplashRecorder() {
    qApp->removeEventFilter(this);
}

bool SplashRecorder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show) {
        return false;
    }
    if (qobject_cast<app::FrmMain*>(watched) != nullptr) {
        ++mainWindowShows;
    } else if (auto* splash = qobject_cast<app::FrmSplash*>(watched)) {
        connect(splash, &app::FrmSplash::stageShown, this, [this](const QString& text) {
            stages.push_back({text, MainVisible()});
        });
        connect(splash, &app::FrmSplash::progressChanged, this,
                [this](double twips) { barWidths.push_back(twips); });
        connect(splash, &app::FrmSplash::statusMessage, this,
                [this](const QString& text) { statuses.append(text); });
    }
    return false;
}

bool SplashRecorder::MainVisible() const {
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<const app::FrmMain*>(widget) != nullptr && widget->isVisible()) {
            return true;
        }
    }
    return false;
}

} // namespace qmt::test
