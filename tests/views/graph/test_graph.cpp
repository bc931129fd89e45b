#include "views/graph/frm_graph.h"
#include "views/twips.h"
#include "views/view_world.h"
#include "widgets/strip_chart.h"

namespace qmt::views {

using test::ViewWorld;
using widgets::StripChart;

namespace {

constexpr std::int32_t ConfigurationReadPointer = 0x03;
constexpr std::int32_t ConfigurationWritePointer = 0x09;

QStringList Captions(const StripChart& chart) {
    return {chart.TraceCaption(1), chart.TraceCaption(2), chart.TraceCaption(3)};
}

FrmGraph* LoadedGraph(const ViewWorld& world) {
    return world.Loaded<FrmGraph>(shell::WindowId::Graph);
}

void WriteConfiguration(ViewWorld& w, std::int32_t value,
                        std::int32_t pointer = ConfigurationWritePointer) {
    w.world.app->access().WriteRegister(w.world.app->usb().DeviceAddress, pointer, value);
}

bool SizeNear(QSize actual, QSize expected) {
    return std::abs(actual.width() - expected.width()) <= 1 &&
           std::abs(actual.height() - expected.height()) <= 1;
}

} // namespace

class TestGraph : public QObject {
    Q_OBJECT

private slots:
    void startupOpensTheGraphFirstAndFeedsIt();
    void legendTextsFollowTheReadings();
    void captionSwitchGoesBothWays();
    void chartFollowsTheWindowSizeButNeverBelowZero();
    void closingStopsTheFeedAtOnceAndReopeningStartsEmpty();
};

void TestGraph::startupOpensTheGraphFirstAndFeedsIt() {
    ViewWorld w;
    FrmGraph* graph = LoadedGraph(w);
    QVERIFY(graph != nullptr);
    QCOMPARE(w.main().mdiArea()->subWindowList().size(), 1);
    StripChart& chart = *graph->stpGraph();
    // Start-up ran the caption switch once, after the window was opened.
    QCOMPARE(Captions(chart), (QStringList{"Local", "Remote1", "Remote2"}));

    // The stub chip reads 0 everywhere: each feed adds one sample per trace,
    // at the graphing interval: 50 ms default, so 20 feeds in a second.
    QCOMPARE(w.world.Tick(), std::nullopt);
    QCOMPARE(chart.History(0).Size(), std::size_t{1});
    for (int tick = 0; tick < 100; ++tick) {
        QCOMPARE(w.world.Tick(), std::nullopt);
    }
    QVERIFY(chart.History(2).Size() >= 17 && chart.History(2).Size() <= 21);

    // Opening again from the menu or the toolbar shows the same window.
    QCOMPARE(w.Trigger<FrmGraph>("mnuGraph", shell::WindowId::Graph), graph);
    QCOMPARE(w.Trigger<FrmGraph>("Graphs", shell::WindowId::Graph), graph);
    QCOMPARE(w.main().mdiArea()->subWindowList().size(), 1);
}

void TestGraph::legendTextsFollowTheReadings() {
    ViewWorld w;
    FrmGraph& graph = *LoadedGraph(w);
    StripChart& chart = *graph.stpGraph();
    GeneralStuff& state = w.state();

    state.LocalTemp = 25.0f;
    state.Remote1Temp = 30.5f;
    state.Remote2Temp = -1.75f;
    graph.UpdateGraph();
    QCOMPARE(Captions(chart),
             (QStringList{"Local = 25°C", "Remote1 = 30.50°C", "Remote2 = -1.75°C"}));

    // Three decimals stay; the legend's rounding is written back to the readings.
    state.LocalTemp = 30.125f;
    state.Remote2Temp = 0.12549f;
    graph.UpdateGraph();
    QCOMPARE(Captions(chart),
             (QStringList{"Local = 30.125°C", "Remote1 = 30.50°C", "Remote2 = .125°C"}));
    QCOMPARE(state.Remote2Temp, 0.125f);
    // The sample is taken before the rounding.
    QCOMPARE(chart.History(2).ValueAt(1), 0.12549f);
    // The same reading again: its texts are kept, its rounding still applies.
    state.Remote2Temp = 0.12549f;
    graph.UpdateGraph();
    QCOMPARE(state.Remote2Temp, 0.125f);
    QCOMPARE(chart.History(2).ValueAt(2), 0.12549f);
    QCOMPARE(Captions(chart).at(2), QStringLiteral("Remote2 = .125°C"));
}

void TestGraph::captionSwitchGoesBothWays() {
    ViewWorld w;
    StripChart& chart = *LoadedGraph(w)->stpGraph();
    w.chip()[0x30] = 40; // Remote 2 high byte

    // Remote 2 in the shared registers: trace 2 carries it, trace 3 is hidden.
    WriteConfiguration(w, 0x08);
    QCOMPARE(w.world.Tick(100), std::nullopt);
    QCOMPARE(Captions(chart), (QStringList{"Local = 0°C", "Remote2 = 40.00°C", ""}));
    QVERIFY(!chart.TraceVisible(2));

    WriteConfiguration(w, 0x00);
    QCOMPARE(Captions(chart), (QStringList{"Local = 0°C", "Remote1", "Remote2"}));
    QVERIFY(chart.TraceVisible(2));
    // A write elsewhere changes nothing.
    WriteConfiguration(w, 0x08, ConfigurationReadPointer);
    QCOMPARE(Captions(chart), (QStringList{"Local = 0°C", "Remote1", "Remote2"}));
}

void TestGraph::chartFollowsTheWindowSizeButNeverBelowZero() {
    QCOMPARE(FrmGraph::ChartSizeTwips({6000, 5000}), QSizeF(5800, 4600));
    QCOMPARE(FrmGraph::ChartSizeTwips({150, 300}), QSizeF(0, 0));
    QCOMPARE(FrmGraph::ChartSizeTwips({250, 300}), QSizeF(50, 0));

    // The window applies it: a resized frame resizes the chart.
    ViewWorld w;
    FrmGraph& graph = *LoadedGraph(w);
    views::OuterWindow(graph).resize(views::TwipsToPixels(&graph, 6000, 5000));
    QVERIFY(SizeNear(graph.stpGraph()->size(), views::TwipsToPixels(&graph, 5800, 4600)));
}

void TestGraph::closingStopsTheFeedAtOnceAndReopeningStartsEmpty() {
    ViewWorld w;
    QPointer<FrmGraph> graph = LoadedGraph(w);
    QCOMPARE(w.world.Tick(100), std::nullopt);
    QCOMPARE(graph->stpGraph()->History(0).Size(), std::size_t{1});

    QVERIFY(views::OuterWindow(*graph).close());
    QVERIFY(!w.state().GraphOpen);
    // The window is deleted only by the event loop; until then it is left alone.
    QVERIFY(!graph.isNull());
    QCOMPARE(w.world.Tick(100), std::nullopt);
    QCOMPARE(graph->stpGraph()->History(0).Size(), std::size_t{1});
    WriteConfiguration(w, 0x08);
    QCOMPARE(graph->stpGraph()->TraceCaption(2), QString("Remote1 = 0.00°C"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(graph.isNull());
    QCOMPARE(w.world.Tick(100), std::nullopt);

    // Reopened: a new, empty chart with its design captions for traces 2 and 3.
    w.main().OpenWindow(shell::WindowId::Graph);
    FrmGraph* reopened = LoadedGraph(w);
    QVERIFY(reopened != nullptr);
    QVERIFY(w.state().GraphOpen);
    QVERIFY(reopened->stpGraph()->History(0).Empty());
    QCOMPARE(Captions(*reopened->stpGraph()),
             (QStringList{"Local", "Remote1 = 33.75C", "Remote2"}));
    QCOMPARE(w.world.Tick(100), std::nullopt);
    QCOMPARE(reopened->stpGraph()->History(0).Size(), std::size_t{1});
    QCOMPARE(reopened->stpGraph()->TraceCaption(2), QString("Remote2 = 0.00°C"));
}

} // namespace qmt::views

QTEST_MAIN(qmt::views::TestGraph)
#include "test_graph.moc"
