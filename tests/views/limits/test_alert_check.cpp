#include "app/support/app_world.h"
#include "shell/frm_main.h"
#include "views/emulated_board.h"
#include "views/graph/alert_timeline.h"
#include "views/graph/frm_graph.h"
#include "views/limits/frm_alert_check.h"
#include "views/limits/frm_limits.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <map>

namespace qmt::views {

namespace {

using test::AppWorld;
using test::EmulatedBoard;

// The settings registers the check writes, at their read pointers.
constexpr std::int32_t Settings[] = {0x03, 0x05, 0x06, 0x07, 0x08, 0x13, 0x14,
                                     0x19, 0x20, 0x31, 0x32, 0x36, 0x37, 0x39};

// A started program on a steady emulated board, with the limits window open.
struct CheckWorld {
    CheckWorld() {
        auto owned = std::make_unique<EmulatedBoard>("local = 25\nremote1 = 30.25\n"
                                                     "remote2 = 28.5\nreg.0x07 = 0x50\n");
        board = owned.get();
        world = std::make_unique<AppWorld>(std::move(owned));
        board->clock = world->clock;
        started = board->loaded && !world->RunMain().has_value();
        world->main().OpenWindow(shell::WindowId::Limits);
    }
    FrmLimits* Limits() const {
        return qobject_cast<FrmLimits*>(
            world->main().childWindows().Loaded(shell::WindowId::Limits));
    }
    FrmGraph* Graph() const {
        return qobject_cast<FrmGraph*>(world->main().childWindows().Loaded(shell::WindowId::Graph));
    }
    std::map<std::int32_t, int> Chip() const {
        std::map<std::int32_t, int> values;
        for (const std::int32_t reg : Settings) {
            values[reg] = world->app->access().ReadRegister(0x4C, reg);
        }
        return values;
    }
    // Ticks the program and the check together until it ends (or `ticks` pass).
    void RunCheck(FrmAlertCheck& dialog, int ticks) const {
        for (int i = 0; i < ticks && dialog.runner().Running(); ++i) {
            world->Tick();
            dialog.runner().Tick();
        }
    }

    EmulatedBoard* board = nullptr;
    std::unique_ptr<AppWorld> world;
    bool started = false;
};

} // namespace

class TestAlertCheck : public QObject {
    Q_OBJECT

private slots:
    void runsFromTheLimitsWindowWithItsEventsMarked();
    void closingTheDialogMidCheckPutsTheChipBack();
};

void TestAlertCheck::runsFromTheLimitsWindowWithItsEventsMarked() {
    CheckWorld w;
    QVERIFY(w.started);
    const auto before = w.Chip();
    w.Limits()->cmdCheckAlerts()->click();
    FrmAlertCheck* dialog = w.Limits()->alertCheck();
    QVERIFY(dialog != nullptr && dialog->isVisible());
    QVERIFY(!dialog->cmdCopy()->isEnabled());
    const auto start = w.world->clock->ElapsedMs();
    dialog->cmdStart()->click();
    QVERIFY(w.world->app->state().AlertCheckRunning);
    QVERIFY(dialog->cmdCancel()->isEnabled());
    w.RunCheck(*dialog, 2000);
    QVERIFY(!dialog->runner().Running());
    QVERIFY(w.world->clock->ElapsedMs() - start < 10'000);
    QVERIFY(!w.world->app->state().AlertCheckRunning);
    QCOMPARE(dialog->prgSteps()->value(), 24);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            const QTableWidgetItem* cell = dialog->grdResults()->item(row, column);
            QVERIFY(cell != nullptr);
            QCOMPARE(cell->text(), QStringLiteral("pass"));
            QVERIFY(cell->toolTip().contains(QStringLiteral("(set back): pass")));
        }
    }
    QVERIFY(dialog->lblSummary()->text().contains(
        QStringLiteral("Every writable register is as it was before the check")));
    QCOMPARE(w.Chip(), before);

    // The graph saw the check's bits come and go, each marked as the check's.
    const auto& events = w.Graph()->timeline().Events();
    QVERIFY(events.size() >= 12);
    for (const model::AlertEvent& event : events) {
        QVERIFY(event.alertCheck);
        QVERIFY(AlertTimeline::EventLine(event).endsWith(QStringLiteral(" (alert check)")));
    }

    dialog->cmdCopy()->click();
    QVERIFY(QGuiApplication::clipboard()->text().startsWith(
        QStringLiteral("Channel\tHigh\tLow\tTHERM\tMask\nLocal\tpass\tpass\tpass\tpass\n")));
    const QString saved = w.world->folder.filePath(QStringLiteral("check.csv"));
    QVERIFY(dialog->SaveReport(saved));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("Channel,High,Low,THERM,Mask\nLocal,pass,pass,pass,pass\n"));
}

void TestAlertCheck::closingTheDialogMidCheckPutsTheChipBack() {
    CheckWorld w;
    QVERIFY(w.started);
    const auto before = w.Chip();
    w.Limits()->cmdCheckAlerts()->click();
    QPointer<FrmAlertCheck> dialog = w.Limits()->alertCheck();
    dialog->cmdStart()->click();
    w.RunCheck(*dialog, 40); // a few steps in: a limit is off
    QVERIFY(dialog->runner().Running());
    dialog->close();
    QVERIFY(!w.world->app->state().AlertCheckRunning);
    QCOMPARE(w.Chip(), before);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull());
}

} // namespace qmt::views

QTEST_MAIN(qmt::views::TestAlertCheck)
#include "test_alert_check.moc"
