#include "app/frm_main.h"
#include "app/support/app_world.h"
#include "app/termination_signals.h"

#include <QtTest>
#include <csignal>

namespace qmt::app {

using test::AppWorld;

namespace {

extern "C" void IgnoreSignal(int) {}

void (*CurrentHandler(int signalNumber))(int) {
    struct sigaction current {};
    sigaction(signalNumber, nullptr, &current);
    return current.sa_handler;
}

} // namespace

class TestTerminationSignals : public QObject {
    Q_OBJECT

private slots:
    void signalsCloseTheProgramInOrder();
};

void TestTerminationSignals::signalsCloseTheProgramInOrder() {
    std::signal(SIGINT, IgnoreSignal);
    std::signal(SIGTERM, SIG_DFL);
    AppWorld world;
    world.StoreSettings({"3000", "1500", "9000", "7500"});
    QCOMPARE(world.RunMain(), std::nullopt);
    world.main().move(150, 75);
    std::vector<int> received;
    {
        const TerminationSignals signalHandling([&](int signalNumber) {
            received.push_back(signalNumber);
            world.app->CloseAllWindows();
        });
        QCOMPARE(std::raise(SIGINT), 0);
        QCOMPARE(std::raise(SIGTERM), 0);
        // Nothing happens inside the handlers; the event loop does the closing.
        QVERIFY(received.empty());
        QTRY_COMPARE(received.size(), std::size_t{2});
    }
    QCOMPARE(received, (std::vector{SIGINT, SIGTERM}));
    QVERIFY(!world.main().isVisible());
    QCOMPARE(world.StoredSettings().mid(0, 2), (QStringList{"2250", "1125"}));
    // The handlers that were there before come back.
    QVERIFY(CurrentHandler(SIGINT) == &IgnoreSignal);
    QVERIFY(CurrentHandler(SIGTERM) == SIG_DFL);
}

} // namespace qmt::app

QTEST_MAIN(qmt::app::TestTerminationSignals)
#include "test_termination_signals.moc"
