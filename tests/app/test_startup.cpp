#include "app/app_identity.h"
#include "app/frm_main.h"
#include "app/frm_splash.h"
#include "app/startup.h"
#include "app/support/app_world.h"
#include "app/unavailable_bridge.h"
#include "support/emulated_bridge.h"

#include <QAbstractEventDispatcher>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

namespace qmt::app {

using test::AppWorld;
using test::SplashRecorder;

namespace {

constexpr std::uint16_t RegisterRequest = 222;
constexpr std::int32_t ConfigurationReadPointer = 0x03;

const QString FirmwareMessage =
    QStringLiteral("Firmware failed to download - Check USB connections");
const QString ConnectionMessage =
    QStringLiteral("Initial Connection Failed - Check USB connections");
const QString CommunicationsMessage =
    QStringLiteral("Communications Interrupted - Check USB connections");

using Setup = std::function<void(test::StubBridge&)>;

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void startupRunsInOrderAndSetsDefaults();
    void startupDoesNotYieldOnceTheTimerRuns();
    void failedStartupShowsOneMessageAndEnds_data();
    void failedStartupShowsOneMessageAndEnds();
    void unloadableBridgeLibraryIsAFirmwareFailure();
    void linkLostWhileMonitoringClosesEverythingInOrder();
    void configurationWritesRelabelOpenWindowsGraphFirst();
#ifdef QMT_HAVE_TARNLINK_CORE
    void emulatedBoardStartsAndEndsOnUnplug();
#endif
};

void TestStartup::startupRunsInOrderAndSetsDefaults() {
    AppWorld world;
    world.stub->chips[AppWorld::ChipAddress][ConfigurationReadPointer] = 0x0C;
    GeneralStuff& state = world.app->state();
    // Values a previous session could have left; start-up must set its own.
    state.GraphingInterval = 7;
    state.LoggingInterval = 7;
    state.ReadingInterval = 7;
    state.ContinuousReading = false;
    state.LogChannel = {false, false, false};

    SplashRecorder splash;
    QCOMPARE(world.RunMain(), std::nullopt);

    const std::vector<QString> expectedStages = {
        "Downloading Firmware...", "Enumerating...", "Connecting...",
        "Searching for QMT6171/2/3 on USB...", "Found an QMT6171/2/3 at 4Ch"};
    QCOMPARE(splash.stages.size(), expectedStages.size());
    for (std::size_t i = 0; i < expectedStages.size(); ++i) {
        QCOMPARE(splash.stages[i].text, expectedStages[i]);
        QVERIFY2(!splash.stages[i].mainVisible, "main window shown while the splash works");
    }
    QCOMPARE(splash.barWidths.front(), 0.0);
    QCOMPARE(splash.barWidths.back(), double(FrmSplash::BarTwips));
    QVERIFY(std::is_sorted(splash.barWidths.begin(), splash.barWidths.end()));
    QCOMPARE(splash.statuses, QStringList{"Firmware download succesful"});
    QCOMPARE(splash.mainWindowShows, 1);

    // The splash is gone, the main window shows its caption and the status.
    QVERIFY(world.app->splash() == nullptr);
    FrmMain& mainWindow = world.main();
    QVERIFY(mainWindow.isVisible());
    QCOMPARE(mainWindow.windowTitle(), ApplicationTitle());
    QCOMPARE(mainWindow.StatusPanel(1)->text(), QStringLiteral("Firmware download succesful"));
    QVERIFY(mainWindow.tmrMaster().isActive());
    QCOMPARE(mainWindow.tmrMaster().interval(), 10);
    QCOMPARE(mainWindow.tmrMaster().timerType(), Qt::PreciseTimer);
    // The Graphing window has no factory here: opening it opened nothing.
    QVERIFY(mainWindow.mdiArea()->subWindowList().isEmpty());
    QVERIFY(world.messages.empty());

    // The defaults, then the selection read from the chip as the last request.
    QCOMPARE(world.app->usb().DeviceAddress, AppWorld::ChipAddress);
    QCOMPARE(state.GraphingInterval, std::int16_t{50});
    QCOMPARE(state.LoggingInterval, 100);
    QCOMPARE(state.ReadingInterval, 100);
    QVERIFY(state.ContinuousReading);
    QVERIFY((state.LogChannel == std::array{true, true, true}));
    QVERIFY(state.ExtendedRange);
    QVERIFY(state.Remote2Selected);
    QVERIFY(!world.app->regMap().RegMap[1].Name.empty());
    const test::BridgeCall& last = world.stub->log.back();
    QCOMPARE(last.request, RegisterRequest);
    QCOMPARE(last.value, AppWorld::ChipAddress);
    QCOMPARE(last.index, ConfigurationReadPointer);
    // No tick ran during start-up, and every pause ran on the fake clock.
    QCOMPARE(world.app->cycle().LastRun(Activity::ReadTemperatures), 0.0);
    QVERIFY(world.clock->ElapsedMs() >= 3000);
}

void TestStartup::startupDoesNotYieldOnceTheTimerRuns() {
    AppWorld world;
    world.stub->chips[AppWorld::ChipAddress][ConfigurationReadPointer] = 0x08;
    int yields = 0;
    QStringList faults;
    // Every pass of the event loop wakes the dispatcher: the connect attempts
    // must, nothing after the timer is enabled may, or a tick could run
    // before the defaults and the channel selection are set.
    const QMetaObject::Connection probe =
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake,
                         [&world, &yields, &faults] {
                             ++yields;
                             FrmMain* mainWindow = world.app->mainWindow();
                             if (mainWindow != nullptr && mainWindow->tmrMaster().isActive()) {
                                 faults.append(QStringLiteral("yielded with the timer running"));
                             }
                         });
    // The splash is gone before the main window shows, the timer starts after.
    test::EventProbe shown(QEvent::Show, [&world, &faults](QObject* watched) {
        if (watched == world.app->mainWindow()) {
            if (world.app->splash() != nullptr) {
                faults.append(QStringLiteral("main window shown with the splash loaded"));
            }
            if (world.main().tmrMaster().isActive()) {
                faults.append(QStringLiteral("timer enabled before the main window showed"));
            }
        }
    });

    QCOMPARE(world.RunMain(), std::nullopt);
    QObject::disconnect(probe);

    QVERIFY(yields > 0);
    QCOMPARE(faults, QStringList{});
    QVERIFY(world.main().tmrMaster().isActive());
    QVERIFY(world.app->state().Remote2Selected);
}

void TestStartup::failedStartupShowsOneMessageAndEnds_data() {
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("lastStage");
    QTest::newRow("firmware refused") << Setup([](test::StubBridge& b) { b.firmwareStatus = -1; })
                                      << FirmwareMessage << "Downloading Firmware...";
    QTest::newRow("never connects") << Setup([](test::StubBridge& b) { b.connectSucceedsAt = 0; })
                                    << ConnectionMessage << "Connecting...";
    QTest::newRow("no chip") << Setup([](test::StubBridge& b) { b.chips.clear(); })
                             << ConnectionMessage << "Searching for QMT6171/2/3 on USB...";
    // The connect request and 5 reads pass, the device search's 6th read fails.
    QTest::newRow("search read fails")
        << Setup([](test::StubBridge& b) { b.failAfterRequests = 6; }) << CommunicationsMessage
        << "Searching for QMT6171/2/3 on USB...";
}

void TestStartup::failedStartupShowsOneMessageAndEnds() {
    QFETCH(Setup, setup);
    QFETCH(QString, message);
    QFETCH(QString, lastStage);
    AppWorld world;
    setup(*world.stub);
    SplashRecorder splash;

    QCOMPARE(world.RunMain(), std::optional(3));

    QCOMPARE(world.messages.size(), std::size_t{1});
    QCOMPARE(world.messages[0].caption, ApplicationTitle());
    QCOMPARE(world.messages[0].text, message);
    QVERIFY(world.messages[0].splashVisible);
    QVERIFY(!world.messages[0].mainVisible);
    QCOMPARE(splash.stages.back().text, lastStage);
    // The main window was loaded but never shown; unloading it stored its placement.
    QCOMPARE(splash.mainWindowShows, 0);
    QVERIFY(!world.app->splash()->isVisible());
    QCOMPARE(world.StoredSettings(), (QStringList{"1005", "1005", "6495", "6495"}));
}

void TestStartup::unloadableBridgeLibraryIsAFirmwareFailure() {
    AppWorld world([](test::FakeClock&) { return std::make_unique<UnavailableBridge>(); });
    QCOMPARE(world.RunMain(), std::optional(3));
    QCOMPARE(world.messages.size(), std::size_t{1});
    QCOMPARE(world.messages[0].text, FirmwareMessage);
}

void TestStartup::linkLostWhileMonitoringClosesEverythingInOrder() {
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    FrmMain& mainWindow = world.main();
    mainWindow.move(300, 200);
    mainWindow.resize(600, 500);
    QCOMPARE(world.Tick(), std::nullopt);
    QPointer<QMdiSubWindow> about = mainWindow.childWindows().Open(WindowId::About);
    QPointer<QMdiSubWindow> options = mainWindow.childWindows().Open(WindowId::SWOptions);
    QVERIFY(about && options);

    world.stub->failAfterRequests = world.stub->Count(RegisterRequest) + 1;
    std::optional<int> ended;
    for (int tick = 0; tick < 100 && !ended; ++tick) {
        ended = world.Tick();
    }

    QCOMPARE(ended, std::optional(3));
    QCOMPARE(world.messages.size(), std::size_t{1});
    QCOMPARE(world.messages[0].caption, ApplicationTitle());
    QCOMPARE(world.messages[0].text, CommunicationsMessage);
    QVERIFY2(!world.messages[0].timerActive, "the timer kept ticking under the message");
    QVERIFY(world.messages[0].mainVisible);
    // Every window unloaded, the main window's placement stored.
    QVERIFY(!mainWindow.isVisible());
    QVERIFY(about.isNull() || about->isHidden());
    QVERIFY(options.isNull() || options->isHidden());
    QVERIFY(mainWindow.childWindows().Loaded(WindowId::About) == nullptr);
    QCOMPARE(world.StoredSettings(), (QStringList{"4500", "3000", "9000", "7500"}));
}

void TestStartup::configurationWritesRelabelOpenWindowsGraphFirst() {
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    QStringList calls;
    world.app->remoteSelection().SetGraphRelabel(
        [&calls](bool remote2) { calls.append(QStringLiteral("graph %1").arg(remote2)); });
    world.app->remoteSelection().SetLimitsRelabel(
        [&calls](bool remote2) { calls.append(QStringLiteral("limits %1").arg(remote2)); });
    GeneralStuff& state = world.app->state();
    link::RegisterAccess& access = world.app->access();

    std::int32_t value = 0x08;
    access.WriteRegister(AppWorld::ChipAddress, 0x09, value);
    QVERIFY2(calls.isEmpty(), "windows that are not loaded were relabelled");

    state.GraphOpen = true;
    state.LimitsOpen = true;
    access.WriteRegister(AppWorld::ChipAddress, 0x09, value);
    QCOMPARE(calls, (QStringList{"graph 1", "limits 1"}));

    calls.clear();
    state.GraphOpen = false;
    value = 0x00;
    access.WriteRegister(AppWorld::ChipAddress, 0x09, value);
    access.WriteRegister(AppWorld::ChipAddress, 0x0A, value);
    QCOMPARE(calls, (QStringList{"limits 0"}));
}

#ifdef QMT_HAVE_TARNLINK_CORE
void TestStartup::emulatedBoardStartsAndEndsOnUnplug() {
    // One read finds the chip at 18h, one reads the selection, one tick
    // reads five temperature registers; the next tick's first read fails.
    AppWorld world([](test::FakeClock& clock) {
        return std::make_unique<test::EmulatedBridge>(clock, "address = 0x18\nfail_after = 7\n");
    });
    QCOMPARE(world.RunMain(), std::nullopt);
    QCOMPARE(world.app->usb().DeviceAddress, 0x18);
    QCOMPARE(world.Tick(), std::nullopt);
    QCOMPARE(world.Tick(200), std::optional(3));
    QCOMPARE(world.messages.size(), std::size_t{1});
    QCOMPARE(world.messages[0].text, CommunicationsMessage);
    QVERIFY(!world.main().isVisible());
}
#endif

} // namespace qmt::app

QTEST_MAIN(qmt::app::TestStartup)
#include "test_startup.moc"
