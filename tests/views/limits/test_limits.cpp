#include "limits_board.h"
#include "views/limits/frm_limits.h"
#include "views/view_world.h"

namespace qmt::views {

using test::LimitsBoard;
using widgets::Gauge;
using widgets::GaugePointer;
using widgets::Indicator;

namespace {

// A started program on a LimitsBoard whose chip holds the given registers.
struct LimitsWorld : test::ViewWorld {
    explicit LimitsWorld(const test::Registers& registers = {})
        : LimitsWorld(new LimitsBoard, registers) {}
    LimitsWorld(LimitsBoard* owned, const test::Registers& registers)
        : ViewWorld(owned, registers), board(owned) {}
    FrmLimits* Open() { return ViewWorld::Open<FrmLimits>(shell::WindowId::Limits); }

    LimitsBoard* board;
};

// The chip's power-on limits: low 0, high and THERM 85 (0x55).
const test::Registers PowerOn{{0x05, 0x55}, {0x07, 0x55}, {0x20, 0x55},
                              {0x19, 0x55}, {0x31, 0x55}, {0x39, 0x55}};

const QStringList ReadLimitsOrder{"R06", "R05", "R20", "R08", "R14", "R07", "R13",
                                  "R19", "R32", "R37", "R31", "R36", "R39"};

test::Registers With(test::Registers registers) {
    registers.insert(PowerOn.begin(), PowerOn.end());
    return registers;
}

} // namespace

class TestLimits : public QObject {
    Q_OBJECT

private slots:
    void loadReadsEveryLimitAndOpensTheRefresh();
    void movedPointerWritesTheChannelAndSettlesOnTheChip();
    void extendedRangeScalesAndEncodesFromMinus64();
    void statusBitsLightTheirIndicatorsAndGoGreyWhenUnread();
    void remote2SelectionFollowsEveryConfigurationWrite();
    void closingStopsThePollsAtOnce();
    void lostLinkDuringAMoveEndsTheProgramWithTheWindowUnloaded();
    void limitsWrittenElsewhereAreNotWrittenBackByAMove();
    void keysStepAndDragsShowWhatTheChipWillHold();
};

void TestLimits::loadReadsEveryLimitAndOpensTheRefresh() {
    LimitsWorld w(With({{0x08, 0x14}, {0x14, 0x40}, {0x00, 0x19}, {0x01, 0x19}, {0x10, 0x80}}));
    auto* window = w.Trigger<FrmLimits>("mnuLimits", shell::WindowId::Limits);
    QVERIFY(window != nullptr);
    QCOMPARE(w.Requests(), ReadLimitsOrder); // reads only: no pointer set writes
    const Gauge* remote1 = window->ggeTemp(1);
    QCOMPARE(remote1->pointer(GaugePointer::Low), 20.25);
    QCOMPARE(remote1->pointer(GaugePointer::High), 85.0);

    // One refresh: both status polls, then the readings on the gauges.
    QCOMPARE(w.world.Tick(), std::nullopt);
    QCOMPARE(w.Requests().filter("P"), (QStringList{"P02", "P23"}));
    QCOMPARE(window->ggeTemp(1)->caption(), QString(" 25.5\u00B0C"));
}

void TestLimits::movedPointerWritesTheChannelAndSettlesOnTheChip() {
    LimitsWorld w(PowerOn);
    FrmLimits* window = w.Open();
    w.Requests();
    Gauge* remote1 = window->ggeTemp(1);
    remote1->CommitPointer(GaugePointer::High, 70.3);
    QCOMPARE(w.Requests(),
             QStringList({"W0E=00", "W14=00", "W0D=46", "W13=40", "W19=55"}) + ReadLimitsOrder);
    QCOMPARE(remote1->pointer(GaugePointer::High), 70.25);
    Gauge* local = window->ggeTemp(0);

    // Above the range's top code: the chip gets 255 and the pointer jumps back to it.
    local->CommitPointer(GaugePointer::Therm, 300);
    QCOMPARE(w.Writes(), (QStringList{"W0C=00", "W0B=55", "W20=FF"}));
    QCOMPARE(local->pointer(GaugePointer::Therm), 255.0);
    Gauge* remote2 = window->ggeTemp(2);
    remote2->CommitPointer(GaugePointer::High, 256);
    QCOMPARE(w.Writes(), (QStringList{"W32=00", "W37=00", "W31=FF", "W36=C0", "W39=55"}));
    QCOMPARE(remote2->pointer(GaugePointer::High), 255.75);
}

void TestLimits::extendedRangeScalesAndEncodesFromMinus64() {
    LimitsWorld w(With({{0x03, 0x04}, {0x05, 0x95}, {0x20, 0x95}, {0x32, 0x50}}));
    QVERIFY(w.state().ExtendedRange);
    FrmLimits* window = w.Open();
    Gauge* local = window->ggeTemp(0);
    QCOMPARE(local->pointer(GaugePointer::Low), -64.0);
    w.Requests();
    local->CommitPointer(GaugePointer::Low, -10);
    QCOMPARE(w.Writes(), (QStringList{"W0C=36", "W0B=95", "W20=95"}));
    // The bottom of the scale is the bottom code: nothing half-written.
    QCOMPARE(window->ggeTemp(2)->pointer(GaugePointer::Low), 16.0);
    window->ggeTemp(2)->CommitPointer(GaugePointer::Low, -100);
    QCOMPARE(w.Writes(), (QStringList{"W32=00", "W37=00", "W31=55", "W36=00", "W39=55"}));
    QCOMPARE(window->ggeTemp(2)->pointer(GaugePointer::Low), -64.0);
}

void TestLimits::statusBitsLightTheirIndicatorsAndGoGreyWhenUnread() {
    LimitsWorld w(With({{0x02, 0x41}, {0x23, 0x01}}));
    FrmLimits* window = w.Open();
    const QLabel* panel = w.main().StatusPanel(1);
    const QString unread("Status bits could not be read");
    w.world.Tick();
    const auto lit = [window] {
        QList<int> on;
        for (int i = 0; i < 12; ++i) {
            if (window->tglAlert(i)->state() == Indicator::State::On) {
                on << i;
            }
        }
        return on;
    };
    QCOMPARE(lit(), (QList<int>{0, 8, 11}));

    // A failed poll is not a lost link: grey lamps and a note, then back.
    w.board->failStatusPolls = true;
    QCOMPARE(w.world.Tick(250), std::nullopt);
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(window->tglAlert(i)->state(), Indicator::State::Unknown);
    }
    QCOMPARE(panel->text(), unread);
    QVERIFY(w.world.messages.empty());
    w.board->failStatusPolls = false;
    w.chip()[0x23] = 0x1F;
    w.world.Tick(250);
    QCOMPARE(lit(), (QList<int>{0, 4, 5, 7, 8, 10, 11}));

    // Closing the window while the reads fail withdraws its note too.
    w.board->failStatusPolls = true;
    w.world.Tick(250);
    window->parentWidget()->close();
    QVERIFY(panel->text() != unread);
}

void TestLimits::remote2SelectionFollowsEveryConfigurationWrite() {
    LimitsWorld w(With({{0x03, 0x08}}));
    FrmLimits* window = w.Open();
    QCOMPARE(window->lblRem1_2()->text(), QString("Remote2"));
    QVERIFY(window->ggeTemp(2)->isHidden());

    link::RegisterAccess& access = w.world.app->access();
    std::int32_t config = 0x04;
    w.Requests();
    access.WriteRegister(LimitsBoard::Address, 0x09, config);
    // The write, the selection's read, then the load handling's reads.
    QCOMPARE(w.Requests(), QStringList({"W09=04", "R03"}) + ReadLimitsOrder);
    QVERIFY(!window->ggeTemp(2)->isHidden());
    QCOMPARE(window->ggeTemp(2)->lower(), -64.0);
    QCOMPARE(window->ggeTemp(2)->pointer(GaugePointer::High), 85.0 - 64.0);

    config = 0x08;
    access.WriteRegister(LimitsBoard::Address, 0x09, config);
    QVERIFY(window->ggeTemp(2)->isHidden());
    QCOMPARE(window->ggeTemp(2)->lower(), 0.0);
}

void TestLimits::closingStopsThePollsAtOnce() {
    LimitsWorld w(PowerOn);
    // The limits window alone: the graph's status lanes would poll on.
    shell::ChildWindows& windows = w.main().childWindows();
    windows.Loaded(shell::WindowId::Graph)->parentWidget()->close();
    w.main().findChild<QAction*>("Limits")->trigger(); // the toolbar button
    QWidget* window = windows.Loaded(shell::WindowId::Limits);
    QVERIFY(qobject_cast<FrmLimits*>(window) != nullptr);
    w.world.Tick();
    QCOMPARE(w.Requests().filter("P").size(), 2);
    window->parentWidget()->close(); // deleted later; nothing may poll meanwhile
    QVERIFY(!w.state().LimitsOpen);
    for (int tick = 0; tick < 30; ++tick) {
        w.world.Tick(100);
    }
    QCOMPARE(w.Requests().filter("P").size(), 0);
    // Nor does a configuration write reach the closed window.
    std::int32_t config = 0x08;
    w.world.app->access().WriteRegister(LimitsBoard::Address, 0x09, config);
    QCOMPARE(w.Requests(), (QStringList{"W09=08", "R03"}));
    test::DeleteClosed();
    QCOMPARE(w.main().childWindows().Loaded(shell::WindowId::Limits), nullptr);
}

void TestLimits::lostLinkDuringAMoveEndsTheProgramWithTheWindowUnloaded() {
    LimitsWorld w(PowerOn);
    FrmLimits* window = w.Open();
    w.board->stub.failAfterRequests = 0; // from the next request on
    bool ended = false;
    try {
        window->ggeTemp(1)->CommitPointer(GaugePointer::High, 70);
    } catch (...) { // the world's stand-in for the program's exit
        ended = true;
    }
    QVERIFY(ended);
    QCOMPARE(w.world.messages.size(), std::size_t{1});
    QCOMPARE(w.world.messages[0].text,
             QString("Communications Interrupted - Check USB connections"));
    QCOMPARE(w.Writes(), QStringList{"W0E=00"});
    QVERIFY(!w.state().LimitsOpen);
    test::DeleteClosed();
}

void TestLimits::limitsWrittenElsewhereAreNotWrittenBackByAMove() {
    LimitsWorld w(PowerOn);
    FrmLimits* window = w.Open();
    // Another window writes Remote 1's high limit and Local's THERM limit.
    link::RegisterAccess& access = w.world.app->access();
    for (auto [reg, value] : {std::pair{0x0D, 0x46}, std::pair{0x20, 0x5A}}) {
        access.WriteRegister(LimitsBoard::Address, reg, value);
    }
    // The pointers follow at once.
    QCOMPARE(window->ggeTemp(1)->pointer(GaugePointer::High), 70.0);
    QCOMPARE(window->ggeTemp(0)->pointer(GaugePointer::Therm), 90.0);
    w.Requests();
    window->ggeTemp(1)->CommitPointer(GaugePointer::Low, 10);
    QCOMPARE(w.Writes(), (QStringList{"W0E=0A", "W14=00", "W0D=46", "W13=00", "W19=55"}));
    window->ggeTemp(0)->CommitPointer(GaugePointer::High, 80);
    QCOMPARE(w.Writes(), (QStringList{"W0C=00", "W0B=50", "W20=5A"}));
}

void TestLimits::keysStepAndDragsShowWhatTheChipWillHold() {
    LimitsWorld w(PowerOn);
    FrmLimits* window = w.Open();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // Whole degrees on Local's low and high limits and every THERM limit,
    // quarters on the remote low and high limits.
    const struct {
        int gauge;
        int rightPresses; // from High: Therm, then Low
        double stepped;
    } steps[] = {{0, 0, 86.0}, {0, 1, 86.0}, {1, 0, 85.25}, {1, 1, 86.0}, {2, 2, 0.25}};
    for (const auto& step : steps) {
        Gauge* gauge = window->ggeTemp(step.gauge);
        gauge->setFocus();
        gauge->SelectPointer(GaugePointer::High);
        for (int i = 0; i < step.rightPresses; ++i) {
            QTest::keyClick(gauge, Qt::Key_Right);
        }
        QTest::keyClick(gauge, Qt::Key_Up);
        QCOMPARE(gauge->pendingValue(), std::optional(step.stepped));
        QTest::keyClick(gauge, Qt::Key_Escape);
    }

    // A pointer dragged to any spot shows the value a drop writes and settles on.
    Gauge* remote1 = window->ggeTemp(1);
    const QPoint from = remote1->PointerHandle(GaugePointer::High);
    QTest::mousePress(remote1, Qt::LeftButton, {}, from);
    for (int dy = 1; dy <= 40; ++dy) {
        QTest::mouseMove(remote1, QPoint(from.x(), from.y() + dy));
        const double shown = *remote1->pendingValue();
        QVERIFY2(shown * 4 == std::round(shown * 4), qPrintable(QString::number(shown)));
    }
    const double shown = *remote1->pendingValue();
    QTest::mouseRelease(remote1, Qt::LeftButton, {}, QPoint(from.x(), from.y() + 40));
    QCOMPARE(remote1->pointer(GaugePointer::High), shown);
}

} // namespace qmt::views

QTEST_MAIN(qmt::views::TestLimits)
#include "test_limits.moc"
