#include "app/support/app_world.h"
#include "shell/frm_main.h"
#include "views/emulated_board.h"
#include "views/graph/alert_timeline.h"
#include "views/graph/event_list.h"
#include "views/graph/frm_graph.h"
#include "views/limits/frm_limits.h"
#include "views/regmap/frm_reg_map.h"
#include "views/twips.h"
#include "widgets/strip_chart.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>
#include <algorithm>
#include <set>

namespace qmt::views {

using test::AppWorld;

namespace {

using test::EmulatedBoard;

// A started program on an emulated board described by `boardText`.
struct BoardWorld {
    explicit BoardWorld(const std::string& boardText) {
        auto owned = std::make_unique<EmulatedBoard>(boardText);
        board = owned.get();
        world = std::make_unique<AppWorld>(std::move(owned));
        board->clock = world->clock;
        started = board->loaded && !world->RunMain().has_value();
    }
    FrmGraph* Graph() const {
        return qobject_cast<FrmGraph*>(world->main().childWindows().Loaded(shell::WindowId::Graph));
    }
    void Run(int ticks) const {
        for (int i = 0; i < ticks; ++i) {
            world->Tick();
        }
    }

    EmulatedBoard* board = nullptr;
    std::unique_ptr<AppWorld> world;
    bool started = false;
};

const std::string SteadyBoard = "local = 25\nremote1 = 30\nremote2 = 28\n";

// Remote 1 swings through its high limit of 70 °C every 20 s.
const std::string SwingingBoard =
    "local = 25\nremote1 = sine 70 10 20\nremote2 = 28\nreg.0x07 = 70\nreg.0x19 = 100\n";

// Local falls slowly through its high, THERM and low limits; Remote 1 swings
// through its high and THERM limits; Remote 2's quick sine peaks 0.15 °C over its
// high limit and dips as far under its low one, for a conversion or two,
// often between two reads.
const std::string ChangingBoard = "local = ramp 45 5 300\n"
                                  "remote1 = sine 70 10 20\n"
                                  "remote2 = sine 25 5.15 2\n"
                                  "reg.0x05 = 40\nreg.0x06 = 10\nreg.0x20 = 35\nreg.0x21 = 2\n"
                                  "reg.0x07 = 70\nreg.0x19 = 75\n"
                                  "reg.0x31 = 30\nreg.0x32 = 20\n";

// Polls per read of both status registers.
constexpr int PollsPerRead = 2;

} // namespace

class TestAlertTimeline : public QObject {
    Q_OBJECT

private slots:
    void statusIsReadOncePer200MsWhoeverIsOpen();
    void limitLinesFollowAWriteFromTheRegisterMapWithoutPolling();
    void eventListScrollsTheGraphAndExportsTheEvents();
    void onlyAFaultyChipsEventsAreMarkedAsAnomalies();
};

void TestAlertTimeline::statusIsReadOncePer200MsWhoeverIsOpen() {
    // Two seconds of 10 ms ticks with the graph and the limits window open:
    // at most ten reads, and a bit the chip latched for a moment reaches both
    // the lamp and the lane from the one poll that cleared it.
    constexpr int Ticks = 200;
    BoardWorld both(SwingingBoard);
    QVERIFY(both.started);
    both.world->main().OpenWindow(shell::WindowId::Limits);
    auto* limits =
        qobject_cast<FrmLimits*>(both.world->main().childWindows().Loaded(shell::WindowId::Limits));
    QVERIFY(limits != nullptr);
    const std::size_t mark = both.board->requests.size();
    both.Run(Ticks);
    const long polls = both.board->Count(-1, mark);
    QVERIFY2(polls <= 10 * PollsPerRead, qPrintable(QString::number(polls)));
    int lampOn = 0;
    for (int tick = 0; tick < 2000; ++tick) {
        both.world->Tick();
        lampOn += limits->tglAlert(2)->state() == widgets::Indicator::State::On ? 1 : 0;
    }
    constexpr int Remote1HighLane = 3; // in the limits window's order
    QVERIFY(lampOn > 0);
    QVERIFY(!both.Graph()->timeline().Lanes().Lane(Remote1HighLane).ChangeTimes().empty());
}

void TestAlertTimeline::limitLinesFollowAWriteFromTheRegisterMapWithoutPolling() {
    BoardWorld w(SteadyBoard);
    QVERIFY(w.started);
    FrmGraph* graph = w.Graph();
    w.world->Tick();
    const widgets::LevelLines& lines = graph->timeline().LimitLines();
    // Power-on limits: low 0, high 85, THERM 85 on every channel.
    QCOMPARE(lines.Levels(1), (std::vector<double>{0.0, 85.0, 85.0}));
    std::size_t mark = w.board->requests.size();
    w.Run(100);
    QCOMPARE(w.board->Count(0x07, mark), 0L); // nothing polls the limits

    w.world->main().OpenWindow(shell::WindowId::RegMap);
    auto* regMap =
        qobject_cast<FrmRegMap*>(w.world->main().childWindows().Loaded(shell::WindowId::RegMap));
    QVERIFY(regMap != nullptr);
    regMap->txtWriteAddr()->setText("0D");
    regMap->txtDec()->setText("70");
    emit regMap->txtDec()->textEdited("70");
    mark = w.board->requests.size();
    regMap->cmdWrite_Click();
    w.Run(10); // the next graph feed
    QCOMPARE(lines.Levels(1), (std::vector<double>{0.0, 70.0, 85.0}));
    QCOMPARE(w.board->Count(0x07, mark), 1L); // read again once, after the write
}

void TestAlertTimeline::eventListScrollsTheGraphAndExportsTheEvents() {
    BoardWorld w(SwingingBoard);
    FrmGraph* graph = w.Graph();
    graph->show();
    QVERIFY(graph->lstEvents()->isHidden()); // no events yet: the chart has the window
    w.Run(3000);
    EventList* list = graph->lstEvents();
    const std::vector<model::AlertEvent>& events = graph->timeline().Events();
    QVERIFY(!events.empty());
    QVERIFY(!list->isHidden());
    QCOMPARE(list->count(), static_cast<int>(events.size()));
    // At the window's own size each line reads whole, in a list under the
    // chart, and its tool tip holds it too.
    views::SetOuterSizeTwips(*graph, FrmGraph::WidthTwips, FrmGraph::HeightTwips);
    QVERIFY(list->geometry().top() > graph->stpGraph()->geometry().bottom());
    const QFontMetrics metrics(list->font());
    for (int row = 0; row < list->count(); ++row) {
        const QString text = list->item(row)->text();
        QCOMPARE(text, AlertTimeline::EventLine(events[static_cast<std::size_t>(row)]));
        QVERIFY2(metrics.horizontalAdvance(text) <= list->viewport()->width(), qPrintable(text));
        QVERIFY(list->item(row)->toolTip().startsWith(text));
    }
    // So does about the longest line there can be, with a scroll bar beside it.
    const QString longest = AlertTimeline::EventLine({86399.999, 10, false, -127.75f, 127.0, true});
    QVERIFY(metrics.horizontalAdvance(longest) <=
            list->viewport()->width() - list->verticalScrollBar()->sizeHint().width());
    // Choosing the first event shows its moment, and the chart stops following.
    widgets::StripChart* chart = graph->stpGraph();
    chart->timeWindow().Zoom(5.0 / chart->timeWindow().Span(), chart->LatestTime(), 3600.0);
    QVERIFY(events[0].time < chart->VisibleTimeRange().start);
    list->setCurrentRow(list->count() - 1);
    list->setCurrentRow(0);
    QVERIFY(!chart->timeWindow().Following());
    const widgets::TimeRange shown = chart->VisibleTimeRange();
    QVERIFY(events[0].time >= shown.start && events[0].time <= shown.end);

    QTemporaryDir dir;
    const QString path = dir.filePath("events.csv");
    QVERIFY(graph->timeline().ExportEvents(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.first(), QByteArray("Time ,Bit ,State ,Temperature(\xB0"
                                       "C) ,Limit(\xB0"
                                       "C) ,Anomaly ,\r"));
    QCOMPARE(lines.size(), static_cast<qsizetype>(events.size()) + 2); // the last line end
    QVERIFY2(lines[1].contains(",Remote1 High,") && lines[1].endsWith(", 70,,\r"),
             lines[1].constData());
    QVERIFY(!graph->timeline().ExportEvents(dir.filePath("missing/events.csv")));
}

void TestAlertTimeline::onlyAFaultyChipsEventsAreMarkedAsAnomalies() {
    constexpr int ReadingTicks = 30000; // 300 s
    constexpr int StaleTicks = 3000;    // 30 s with continuous reading off
    // The events, and how many of them came before the reading stopped.
    struct Run {
        std::vector<model::AlertEvent> events;
        std::size_t whileReading = 0;
    };
    const auto run = [](const std::string& boardText) {
        BoardWorld w(boardText);
        Run result;
        if (!w.started) {
            return result;
        }
        w.Run(ReadingTicks);
        result.whileReading = w.Graph()->timeline().Events().size();
        w.world->app->state().ContinuousReading = false;
        w.Run(StaleTicks);
        result.events = w.Graph()->timeline().Events();
        return result;
    };
    const Run correct = run(ChangingBoard);
    QVERIFY(correct.events.size() > correct.whileReading);
    std::set<int> changed;
    for (const model::AlertEvent& event : correct.events) {
        QVERIFY2(!event.anomaly, qPrintable(AlertTimeline::EventLine(event)));
        changed.insert(event.indicator);
    }
    // Local High, Local Low, both high bits of the remotes, Remote2 Low, two THERM bits.
    constexpr std::array WithLimits{0, 1, 2, 4, 5, 8, 9};
    for (const int indicator : WithLimits) {
        QVERIFY2(changed.contains(indicator), qPrintable(QString::number(indicator)));
    }

    // High bits that set only 3 °C over the limit also clear while above it;
    // with the readings stale nothing is judged.
    const Run faulty = run(ChangingBoard + "high_trips_late = 3\n");
    long flagged = 0;
    for (std::size_t i = 0; i < faulty.events.size(); ++i) {
        const model::AlertEvent& event = faulty.events[i];
        const bool highCleared = !event.set && (event.indicator == 0 || event.indicator == 2);
        const bool expected = highCleared && i < faulty.whileReading;
        QVERIFY2(event.anomaly == expected, qPrintable(AlertTimeline::EventLine(event)));
        flagged += event.anomaly ? 1 : 0;
    }
    QVERIFY(flagged >= 10);
}

} // namespace qmt::views

QTEST_MAIN(qmt::views::TestAlertTimeline)
#include "test_alert_timeline.moc"
