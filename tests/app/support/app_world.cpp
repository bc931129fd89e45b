#include "app/support/app_world.h"

#include "link/executable_folder.h"
#include "shell/frm_main.h"
#include "shell/frm_splash.h"
#include "shell/shell.h"
#include "shell/startup.h"

#include <QApplication>
#include <QEvent>
#include <QSettings>

namespace qmt::test {

namespace {

// Thrown by the world's exit in place of ending the test process.
struct ProgramExit {
    int status;
};

const QStringList PlacementKeys = {"Settings/MainLeft", "Settings/MainTop", "Settings/MainWidth",
                                   "Settings/MainHeight"};

template <typename Run> std::optional<int> ExitStatus(Run run) {
    try {
        run();
    } catch (const ProgramExit& exit) {
        return exit.status;
    }
    return std::nullopt;
}

} // namespace

AppWorld::AppWorld(std::unique_ptr<link::Bridge> bridge)
    : settingsFile(folder.filePath(QStringLiteral("settings.conf"))) {
    auto fakeClock = std::make_unique<FakeClock>();
    clock = fakeClock.get();
    if (!bridge) {
        auto stubBridge = std::make_unique<StubBridge>();
        stubBridge->AddChip(ChipAddress);
        stub = stubBridge.get();
        bridge = std::move(stubBridge);
    }
    core::ShellServices services;
    services.showCriticalMessage = [this](const QString& caption, const QString& text) {
        const shell::FrmSplash* splash = shell->splash();
        shell::FrmMain* mainWindow = shell->mainWindow();
        messages.push_back({caption, text, splash && splash->isVisible(),
                            mainWindow && mainWindow->isVisible(),
                            mainWindow && mainWindow->tmrMaster().isActive()});
    };
    services.exitProgram = [](int status) { throw ProgramExit{status}; };
    services.openUrl = [this](const QUrl& url) { openedUrls.push_back(url); };
    app = std::make_unique<core::Application>(std::move(fakeClock), std::move(bridge), settingsFile,
                                              std::move(services));
    shell = std::make_unique<shell::Shell>(*app);
    qApp->installEventFilter(this);
}

AppWorld::~AppWorld() {
    shell.reset();
    app.reset();
    // Child windows closed during the test are deleted by the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::optional<int> AppWorld::RunMain() {
    return ExitStatus([this] { shell::Main(*shell, {link::ExecutableFolder(), false, {}}); });
}

std::optional<int> AppWorld::Tick(std::int64_t advanceMs) {
    clock->AdvanceMs(advanceMs);
    return ExitStatus([this] { main().tmrMaster_Timer(); });
}

void AppWorld::StoreSettings(const QStringList& leftTopWidthHeight) {
    QSettings settings(settingsFile, QSettings::IniFormat);
    for (qsizetype key = 0; key < PlacementKeys.size(); ++key) {
        settings.setValue(PlacementKeys[key], leftTopWidthHeight.value(key));
    }
}

QStringList AppWorld::StoredSettings() const {
    const QSettings settings(settingsFile, QSettings::IniFormat);
    QStringList values;
    for (const QString& key : PlacementKeys) {
        values.append(settings.value(key).toString());
    }
    return values;
}

bool AppWorld::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show) {
        return false;
    }
    if (auto* mainWindow = qobject_cast<shell::FrmMain*>(watched)) {
        trace.append(QStringLiteral("main shown") +
                     (shell->splash() ? " with the splash loaded" : "") +
                     (mainWindow->tmrMaster().isActive() ? " with the timer on" : ""));
    } else if (auto* splash = qobject_cast<shell::FrmSplash*>(watched)) {
        connect(splash, &shell::FrmSplash::stageShown, this, [this](const QString& text) {
            const bool overMain = shell->mainWindow() && main().isVisible();
            trace.append(overMain ? text + " over the main window" : text);
        });
    }
    return false;
}

} // namespace qmt::test
