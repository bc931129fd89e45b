#include "app/support/app_world.h"
#include "link/i2c_bridge.h"
#include "link/unavailable_bridge.h"
#include "shell/frm_main.h"
#include "shell/frm_splash.h"
#include "support/fake_i2c_system.h"
#include "views/regmap/frm_reg_map.h"

#include <QAbstractEventDispatcher>
#include <QCheckBox>
#include <QLabel>
#include <QtTest>
#include <sstream>

Q_DECLARE_METATYPE(qmt::shell::WindowId)

namespace qmt::shell {

using test::AppWorld;

namespace {

constexpr std::uint16_t RegisterRequest = 222;
constexpr std::int32_t ConfigurationReadPointer = 0x03;
const QString FirmwareMessage = "Firmware failed to download - Check USB connections";
const QString ConnectionMessage = "Initial Connection Failed - Check USB connections";
const QString CommunicationsMessage = "Communications Interrupted - Check USB connections";
const QString Searching = "Searching for QMT6171/2/3 on USB...";

using Setup = std::function<void(test::StubBridge&)>;

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void startupRunsInOrderAndNeverYieldsOnceTheTimerRuns();
    void failedStartupShowsOneMessageAndEnds_data();
    void failedStartupShowsOneMessageAndEnds();
    void linkLostClosesEverything_data();
    void linkLostClosesEverything();
    void i2cFailureNamesTheDeviceUnderTheMessage();
};

void TestStartup::startupRunsInOrderAndNeverYieldsOnceTheTimerRuns() {
    AppWorld world;
    world.stub->chips[AppWorld::ChipAddress][ConfigurationReadPointer] = 0x0C;
    GeneralStuff& state = world.app->state();
    // Values a previous session could have left; start-up must set its own.
    state.ReadingInterval = 7;
    state.ContinuousReading = false;
    // The connect attempts yield to the event loop; once the timer runs
    // nothing may, or a tick could run before the defaults are set.
    int yields = 0;
    int yieldsWithTimer = 0;
    const QMetaObject::Connection probe = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] {
            ++yields;
            FrmMain* mainWindow = world.shell->mainWindow();
            yieldsWithTimer += mainWindow && mainWindow->tmrMaster().isActive() ? 1 : 0;
        });
    QCOMPARE(world.RunMain(), std::nullopt);
    QObject::disconnect(probe);

    QVERIFY(yields > 0);
    QCOMPARE(yieldsWithTimer, 0);
    QCOMPARE(world.trace, (QStringList{"Downloading Firmware...", "Enumerating...", "Connecting...",
                                       Searching, "Found an QMT6171/2/3 at 4Ch", "main shown"}));
    FrmMain& mainWindow = world.main();
    QVERIFY(world.shell->splash() == nullptr && mainWindow.isVisible());
    QCOMPARE(mainWindow.StatusPanel(1)->text(), QStringLiteral("Firmware download succesful"));
    QVERIFY(mainWindow.tmrMaster().isActive() && world.messages.empty());
    QCOMPARE(state.ReadingInterval, 100);
    QVERIFY(state.ContinuousReading);
    // The selection is read from the chip as the last request.
    QVERIFY(state.ExtendedRange && state.Remote2Selected);
    QCOMPARE(world.stub->log.back().index, ConfigurationReadPointer);
    // No tick ran during start-up, and every pause ran on the fake clock.
    QCOMPARE(world.app->cycle().LastRun(core::Activity::ReadTemperatures), 0.0);
    QVERIFY(world.clock->ElapsedMs() >= 3000);
}

void TestStartup::failedStartupShowsOneMessageAndEnds_data() {
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("lastStage");
    // Each cause's message end to end is the start-up scenarios'; here what the
    // windows show and store.
    QTest::newRow("no bridge library") << Setup() << FirmwareMessage << "Downloading Firmware...";
    QTest::newRow("no chip") << Setup([](test::StubBridge& b) { b.chips.clear(); })
                             << ConnectionMessage << Searching;
    // The connect request and 5 reads pass, the device search's 6th read fails.
    QTest::newRow("search read fails")
        << Setup([](test::StubBridge& b) { b.failAfterRequests = 6; }) << CommunicationsMessage
        << Searching;
}

void TestStartup::failedStartupShowsOneMessageAndEnds() {
    QFETCH(Setup, setup);
    QFETCH(QString, message);
    QFETCH(QString, lastStage);
    AppWorld world(setup ? nullptr : std::make_unique<link::UnavailableBridge>());
    if (setup) {
        setup(*world.stub);
    }
    QCOMPARE(world.RunMain(), std::optional(3));

    QCOMPARE(world.messages.size(), std::size_t{1});
    QCOMPARE(world.messages[0].text, message);
    QVERIFY(world.messages[0].splashVisible && !world.messages[0].mainVisible);
    // The main window was loaded but never shown; unloading it stored its placement.
    QCOMPARE(world.trace.back(), lastStage);
    QVERIFY(!world.shell->splash()->isVisible());
    QCOMPARE(world.StoredSettings(), (QStringList{"1005", "1005", "6495", "6495"}));
}

void TestStartup::linkLostClosesEverything_data() {
    QTest::addColumn<WindowId>("window");
    QTest::addColumn<bool>("reading");
    QTest::newRow("while monitoring, About open") << WindowId::About << true;
    QTest::newRow("register map, in its continuous read") << WindowId::RegMap << false;
    // A failed status poll only greys the lamps: the link is lost in the reading.
    QTest::newRow("limits, in the reading") << WindowId::Limits << true;
}

// Inside a window's activity the window's unload, run by the failure's handling,
// clears the activity that is running; the sanitizers would see it destroyed.
void TestStartup::linkLostClosesEverything() {
    QFETCH(WindowId, window);
    QFETCH(bool, reading);
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    FrmMain& mainWindow = world.main();
    mainWindow.move(300, 200);
    mainWindow.resize(600, 500);
    world.app->state().ContinuousReading = reading;
    mainWindow.OpenWindow(window);
    if (auto* regMap =
            qobject_cast<views::FrmRegMap*>(mainWindow.childWindows().Loaded(WindowId::RegMap))) {
        regMap->chkContRead()->setChecked(true);
    }
    world.stub->failAfterRequests = world.stub->Count(RegisterRequest) + 1;
    std::optional<int> ended;
    for (int tick = 0; tick < 200 && !ended; ++tick) {
        ended = world.Tick();
    }
    QCOMPARE(ended, std::optional(3));
    QCOMPARE(world.messages.size(), std::size_t{1});
    QCOMPARE(world.messages[0].text, CommunicationsMessage);
    QVERIFY2(!world.messages[0].timerActive, "the timer kept ticking under the message");
    QVERIFY(world.messages[0].mainVisible && !mainWindow.isVisible());
    QVERIFY(mainWindow.childWindows().Loaded(window) == nullptr);
    QVERIFY(!world.app->state().RegMapOpen && !world.app->state().LimitsOpen);
    QCOMPARE(world.StoredSettings(), (QStringList{"4500", "3000", "9000", "7500"}));
}

// On an I2C adapter the box's first line is the code's message as ever; the
// second names the device file and why it failed.
void TestStartup::i2cFailureNamesTheDeviceUnderTheMessage() {
    test::FakeI2cBus bus;
    bus.chips[AppWorld::ChipAddress][0xFE] = 0x41;
    std::ostringstream notices;
    std::string error;
    {
        AppWorld world(link::I2cBridge::Open(std::make_unique<test::FakeI2cSystem>(bus),
                                             "/dev/i2c-1", false, notices, error));
        QCOMPARE(world.RunMain(), std::nullopt);
        bus.transfersBeforeFailure = 0;
        bus.failureErrno = EREMOTEIO;
        std::optional<int> ended;
        for (int tick = 0; tick < 200 && !ended; ++tick) {
            ended = world.Tick();
        }
        QCOMPARE(ended, std::optional(3));
        QCOMPARE(world.messages.size(), std::size_t{1});
        QCOMPARE(world.messages[0].text,
                 CommunicationsMessage + "\n/dev/i2c-1: address 0x4C: Remote I/O error");
    }
    // A device file that could not be opened: the connect fails with its reason.
    const std::string reason = "cannot open /dev/i2c-9: No such file or directory";
    AppWorld unopened(std::make_unique<link::UnavailableBridge>(false, reason));
    QCOMPARE(unopened.RunMain(), std::optional(3));
    QCOMPARE(unopened.messages.size(), std::size_t{1});
    QCOMPARE(unopened.messages[0].text, ConnectionMessage + "\n" + QString::fromStdString(reason));
}

} // namespace qmt::shell

QTEST_MAIN(qmt::shell::TestStartup)
#include "test_startup.moc"
