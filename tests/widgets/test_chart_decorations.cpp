#include "widgets/level_lines.h"
#include "widgets/plot_raster.h"
#include "widgets/status_lanes.h"
#include "widgets/strip_chart.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QtTest>
#include <cmath>

namespace qmt::widgets {

namespace {

constexpr double Start = 36000.0;

QAction* MenuAction(const QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

// A chart with two minutes of three flat traces (20, 30, 40), then lanes
// and limit lines added.
struct Rig {
    Rig() {
        chart.SetTimeSource([this] { return now; });
        chart.resize(900, 500);
        for (int i = 0; i < 2400; ++i) {
            for (int trace = 0; trace < StripChart::TraceCount; ++trace) {
                chart.AddSample(trace, 20.0 + 10.0 * trace);
            }
            now += 0.05;
        }
        chart.AddDecoration(&lines);
        chart.AddDecoration(&lanes);
        // The whole run in view.
        chart.timeWindow().Zoom(2.0, chart.LatestTime(), 3600.0);
    }
    // The pixel column of time t in the last paint.
    int X(double t) const {
        const TimeRange time = chart.PaintedTimeRange();
        const QRect plot = chart.PlotRect();
        return plot.left() +
               static_cast<int>((t - time.start) / (time.end - time.start) * plot.width());
    }
    int LaneY(int lane) const {
        return chart.BandRect().top() + 2 + lane * StatusLanes::LaneHeight(chart.fontMetrics()) +
               StatusLanes::LaneHeight(chart.fontMetrics()) / 2;
    }

    double now = Start;
    StripChart chart;
    LevelLines lines{QStringLiteral("Show limits")};
    StatusLanes lanes{{QStringLiteral("Local High"), QStringLiteral("Remote1 High")}};
};

} // namespace

class TestChartDecorations : public QObject {
    Q_OBJECT

private slots:
    void lanesShowBandsAndMarkersOnTheChartsTimeAxis();
    void limitLinesSitAtTheirValuesInTheTracesColour();
    void menuSwitchesLanesAndEachTracesLines();
};

void TestChartDecorations::lanesShowBandsAndMarkersOnTheChartsTimeAxis() {
    Rig rig;
    // Lane 1 is on from 40 s to 80 s of the run; lane 0 stays off.
    for (double t = Start; t < rig.now; t += 0.2) {
        rig.lanes.Record(0, t, false);
        const bool on = t >= Start + 40.0 && t < Start + 80.0;
        rig.lanes.Record(1, t, on, on ? QStringLiteral("set") : QStringLiteral("cleared"));
    }
    const QImage image = rig.chart.grab().toImage();
    QVERIFY(rig.chart.BandRect().height() >= 2 * StatusLanes::LaneHeight(rig.chart.fontMetrics()));
    QVERIFY(rig.chart.BandRect().top() > rig.chart.PlotRect().bottom());
    const QColor base = rig.chart.palette().color(QPalette::Base);
    const int y1 = rig.LaneY(1);
    QCOMPARE(image.pixelColor(rig.X(Start + 60.0), y1), QColor(200, 40, 40));
    QCOMPARE(image.pixelColor(rig.X(Start + 20.0), y1), base);
    QCOMPARE(image.pixelColor(rig.X(Start + 100.0), y1), base);
    QCOMPARE(image.pixelColor(rig.X(Start + 60.0), rig.LaneY(0)), base);
    // Markers at both changes, whatever the band's state around them.
    const int set = rig.X(rig.lanes.Lane(1).ChangeTimes().front());
    QCOMPARE(image.pixelColor(set, y1), QColor(20, 20, 20));
    const int cleared = rig.X(rig.lanes.Lane(1).ChangeTimes().back());
    QCOMPARE(image.pixelColor(cleared, y1), QColor(20, 20, 20));
    QCOMPARE(rig.lanes.ToolTipAt(1, rig.chart.PaintedTimeRange(), rig.chart.PlotRect(), set),
             QString("set"));

    // Zoomed to the last 30 s the band is off; scrolled back it scrolls with the traces.
    rig.chart.timeWindow().Zoom(0.25, rig.chart.LatestTime(), 3600.0); // the last 30 s
    QImage zoomed = rig.chart.grab().toImage();
    QCOMPARE(zoomed.pixelColor(rig.X(rig.now - 10.0), y1), base);
    rig.chart.ScrollTo(Start + 60.0);
    zoomed = rig.chart.grab().toImage();
    QVERIFY(!rig.chart.timeWindow().Following());
    QCOMPARE(zoomed.pixelColor(rig.X(Start + 60.0), y1), QColor(200, 40, 40));
}

void TestChartDecorations::limitLinesSitAtTheirValuesInTheTracesColour() {
    Rig rig;
    rig.lines.SetLevels(1, {25.0, 35.0});
    rig.lines.SetLevels(2, {38.0, 1000.0}); // the second far above the values shown
    QImage image = rig.chart.grab().toImage();
    const QRect plot = rig.chart.PlotRect();
    const ValueRange values = rig.chart.PaintedValueRange();
    const auto row = [&](double v) {
        return std::min(plot.bottom(), plot.top() + static_cast<int>(std::lround(
                                                        PlotRow(v, values, plot.height()))));
    };
    const auto dashedIn = [&](const QImage& shot, int y, const QColor& colour) {
        int hits = 0;
        for (int x = plot.left() + 1; x < plot.right(); ++x) {
            hits += shot.pixelColor(x, y) == colour ? 1 : 0;
        }
        // Dashes: most of the line, not all of it.
        return hits > plot.width() / 3 && hits < plot.width() - 10;
    };
    QVERIFY(dashedIn(image, row(25.0), StripChart::TraceColour(1)));
    QVERIFY(dashedIn(image, row(35.0), StripChart::TraceColour(1)));
    QVERIFY(dashedIn(image, row(38.0), StripChart::TraceColour(2)));
    QVERIFY(!dashedIn(image, plot.top(), StripChart::TraceColour(2)));
    // A hidden trace takes its lines with it.
    rig.chart.SelectVisibilityTrace(1);
    rig.chart.SetTraceVisible(false);
    image = rig.chart.grab().toImage();
    QVERIFY(!dashedIn(image, row(35.0), StripChart::TraceColour(1)));
}

void TestChartDecorations::menuSwitchesLanesAndEachTracesLines() {
    Rig rig;
    rig.chart.SetTraceName(0, QStringLiteral("Local"));
    std::unique_ptr<QMenu> menu(rig.chart.CreateContextMenu());
    QAction* limits = MenuAction(*menu, QStringLiteral("Show limits"));
    QVERIFY(limits != nullptr && limits->menu() != nullptr);
    QAction* local = MenuAction(*limits->menu(), QStringLiteral("Local"));
    QVERIFY(local != nullptr && local->isChecked());
    local->toggle();
    QVERIFY(!rig.lines.Shown(0));
    QVERIFY(rig.lines.Shown(1));

    QAction* lanes = MenuAction(*menu, QStringLiteral("Show status lanes"));
    QVERIFY(lanes != nullptr && lanes->isChecked());
    const int plotHeight = rig.chart.PlotRect().height();
    lanes->toggle();
    QVERIFY(!rig.lanes.Shown());
    QCOMPARE(rig.chart.BandRect().height(), 0);
    QVERIFY(rig.chart.PlotRect().height() > plotHeight); // the traces take the room back
    rig.chart.grab();
    rig.chart.RemoveDecoration(&rig.lanes);
    rig.chart.RemoveDecoration(&rig.lines);
    menu.reset(rig.chart.CreateContextMenu());
    QCOMPARE(MenuAction(*menu, QStringLiteral("Show status lanes")), nullptr);
}

} // namespace qmt::widgets

QTEST_MAIN(qmt::widgets::TestChartDecorations)
#include "test_chart_decorations.moc"
