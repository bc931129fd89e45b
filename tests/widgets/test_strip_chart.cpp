#include "widgets/level_lines.h"
#include "widgets/plot_raster.h"
#include "widgets/status_lanes.h"
#include "widgets/strip_chart.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>

namespace qmt::widgets {

namespace {

constexpr double Period = 0.05;
constexpr double Start = 36000.0;

void SendMouse(QWidget& widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), widget.mapToGlobal(QPointF(pos)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void Drag(QWidget& widget, QPoint from, QPoint to) {
    SendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseMove, to, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

QAction* MenuAction(const QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

// Whether anything but the base colour is painted in `area`.
bool HasInk(const QImage& image, const QRect& area, const QColor& base) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) != base) {
                return true;
            }
        }
    }
    return false;
}

bool Near(double a, double b, double within = 0.01) {
    return std::abs(a - b) < within;
}

// Counts the paint events a widget gets, and those that left part of `plot` alone.
struct PaintCounter : QObject {
    explicit PaintCounter(QWidget& widget, QRect plot = {}) : plot_(plot) {
        widget.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            const QRegion& region = static_cast<QPaintEvent*>(event)->region();
            partial += (QRegion(plot_) - region).isEmpty() ? 0 : 1;
        }
        return false;
    }
    int paints = 0;
    int partial = 0;

private:
    QRect plot_;
};

// What the window shows of a widget: its backing store, not a fresh paint.
QImage OnScreen(QWidget& widget) {
    QCoreApplication::processEvents();
    return widget.screen()->grabWindow(widget.winId()).toImage();
}

// A chart on a clock the test moves, with limit lines and two status lanes.
struct Rig {
    Rig() {
        chart.SetTimeSource([this] { return now; });
        chart.resize(800, 400);
    }
    // One feed of three traces, then the clock moves on by a period.
    void Feed(int count, float local = 25.0f) {
        for (int i = 0; i < count; ++i) {
            chart.AddSample(0, static_cast<double>(local));
            chart.AddSample(1, 30.5);
            chart.AddSample(2, -1.75);
            now += Period;
        }
    }
    void Decorate() {
        chart.AddDecoration(&lines);
        chart.AddDecoration(&lanes);
    }
    // The pixel column of time t in the last paint.
    int X(double t) const {
        const TimeRange time = chart.PaintedTimeRange();
        const QRect plot = chart.PlotRect();
        return plot.left() +
               static_cast<int>((t - time.start) / (time.end - time.start) * plot.width());
    }
    int LaneY(int lane) const {
        const int height = StatusLanes::LaneHeight(chart.fontMetrics());
        return chart.BandRect().top() + 2 + lane * height + height / 2;
    }

    double now = Start;
    StripChart chart;
    LevelLines lines{QStringLiteral("Show limits")};
    StatusLanes lanes{{QStringLiteral("Local High"), QStringLiteral("Remote1 High")}};
};

} // namespace

class TestStripChart : public QObject {
    Q_OBJECT

private slots:
    void followsLatestUntilScrolledBackOrPaused();
    void aPausedLiveChartSaysSoAndResumesFromItsBanner();
    void dragsKeysAndWheelZoomTheRanges();
    void exportsTheVisibleRangeAndReportsFailedWrites();
    void drawsEverySpikeAndSurvivesTinySizes();
    void toolTipShowsTheValuesUnderTheMouse();
    void runsOnAcrossMidnight();
    void lanesShowBandsAndMarkersOnTheChartsTimeAxis();
    void limitLinesFollowTheirTraceAndTheMenu();
    void repaintsOnlyWhatChangedOnTheScreen();
    void scrollingShowsWhatAWholePaintWould();
};

void TestStripChart::followsLatestUntilScrolledBackOrPaused() {
    Rig rig;
    rig.Feed(2400); // two minutes
    StripChart& chart = rig.chart;
    QCOMPARE(chart.VisibleTimeRange().end, chart.LatestTime());

    // Drag the plot to the right: back in time by half the span.
    const QRect plot = chart.PlotRect();
    Drag(chart, plot.center(), plot.center() + QPoint(plot.width() / 2, 0));
    const TimeRange held = chart.VisibleTimeRange();
    QVERIFY(Near(chart.LatestTime() - held.end, TimeWindow::DefaultSpan / 2, 0.5));
    rig.Feed(200);
    QCOMPARE(chart.VisibleTimeRange().end, held.end);

    std::unique_ptr<QMenu> menu(chart.CreateContextMenu());
    MenuAction(*menu, "Resume")->trigger();
    rig.Feed(10);
    QCOMPARE(chart.VisibleTimeRange().end, chart.LatestTime());
    menu.reset(chart.CreateContextMenu());
    MenuAction(*menu, "Pause scrolling")->trigger();
    const double paused = chart.VisibleTimeRange().end;
    rig.Feed(10);
    QCOMPARE(chart.VisibleTimeRange().end, paused);
    // Scrolling forward to the newest sample follows again.
    Drag(chart, plot.center(), plot.center() - QPoint(plot.width(), 0));
    QVERIFY(chart.timeWindow().Following());
}

void TestStripChart::aPausedLiveChartSaysSoAndResumesFromItsBanner() {
    Rig rig;
    StripChart& chart = rig.chart;
    rig.Feed(1200);
    std::unique_ptr<QMenu> menu(chart.CreateContextMenu());
    MenuAction(*menu, "Pause scrolling")->trigger();
    // A chart not fed live (a replayed log) has nothing to say about it.
    QVERIFY(chart.ResumeRect().isEmpty() && chart.LiveLabelRect().isEmpty());

    chart.SetLiveFeed(true);
    const QRect resume = chart.ResumeRect();
    const QRect live = chart.LiveLabelRect();
    QVERIFY(!resume.isEmpty() && chart.PlotRect().contains(resume));
    QVERIFY(!live.isEmpty() && live.bottom() < chart.PlotRect().top());
    const QColor base = chart.palette().color(QPalette::Base);
    const QImage paused = chart.grab().toImage();
    QCOMPARE(paused.pixelColor(resume.left() + 2, resume.center().y()),
             chart.palette().color(QPalette::Highlight));
    QVERIFY(HasInk(paused, live, base));
    QVERIFY(chart.ToolTipAt(resume.center()).contains("Resume"));
    QVERIFY(chart.ToolTipAt(live.center()).contains("newest values"));

    // Clicking Resume follows the newest samples again; banner and label go.
    SendMouse(chart, QEvent::MouseButtonPress, resume.center(), Qt::LeftButton);
    SendMouse(chart, QEvent::MouseButtonRelease, resume.center(), Qt::NoButton);
    QVERIFY(chart.timeWindow().Following());
    QVERIFY(chart.ResumeRect().isEmpty() && chart.LiveLabelRect().isEmpty());
    QVERIFY(!HasInk(chart.grab().toImage(), live, base));
    rig.Feed(10);
    QCOMPARE(chart.VisibleTimeRange().end, chart.LatestTime());

    // Scrolling back pauses too, and says so.
    const QRect plot = chart.PlotRect();
    Drag(chart, plot.center(), plot.center() + QPoint(plot.width() / 2, 0));
    QCOMPARE(chart.ResumeRect(), resume);
    QVERIFY(HasInk(chart.grab().toImage(), live, base));
}

void TestStripChart::dragsKeysAndWheelZoomTheRanges() {
    Rig rig;
    rig.Feed(2000); // 100 s
    StripChart& chart = rig.chart;
    chart.grab(); // paint once so the value range is known
    const QRect plot = chart.PlotRect();
    const QPoint timeHandle(plot.right() - 4, plot.bottom() + 6);
    Drag(chart, timeHandle, timeHandle + QPoint(150, 0));
    QVERIFY(Near(chart.timeWindow().Span(), TimeWindow::DefaultSpan / std::exp(1.0)));
    Drag(chart, timeHandle, timeHandle - QPoint(150, 0));
    QVERIFY(Near(chart.timeWindow().Span(), TimeWindow::DefaultSpan));

    const QPoint valueHandle(plot.left() - 6, plot.top() + 4);
    Drag(chart, valueHandle, valueHandle - QPoint(0, 100));
    QVERIFY(!chart.valueWindow().Automatic());
    SendMouse(chart, QEvent::MouseButtonDblClick, valueHandle, Qt::LeftButton);
    QVERIFY(chart.valueWindow().Automatic());

    const double latest = chart.LatestTime();
    QTest::keyClick(&chart, Qt::Key_Left);
    QVERIFY(Near(chart.VisibleTimeRange().end, latest - 6.0, 1e-6));
    QTest::keyClick(&chart, Qt::Key_Home);
    QVERIFY(Near(chart.VisibleTimeRange().start, chart.History(0).TimeAt(0), 1e-6));
    QTest::keyClick(&chart, Qt::Key_End);
    QVERIFY(chart.timeWindow().Following());

    QWheelEvent wheel(QPointF(plot.center()), chart.mapToGlobal(QPointF(plot.center())), {},
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&chart, &wheel);
    QVERIFY(Near(chart.timeWindow().Span(), TimeWindow::DefaultSpan * 0.8));
}

void TestStripChart::exportsTheVisibleRangeAndReportsFailedWrites() {
    Rig rig;
    rig.Feed(3000);
    // Ends between two samples, so that both ends are clear-cut.
    rig.chart.timeWindow().ScrollBy(-30.025, 0.0, rig.chart.LatestTime());
    rig.chart.SelectVisibilityTrace(2);
    rig.chart.SetTraceVisible(false);

    QTemporaryDir folder;
    QVERIFY(rig.chart.ExportData(folder.filePath("view.csv")));
    QFile file(folder.filePath("view.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    // Heads, one minute at 20 samples a second, hidden trace left out.
    QCOMPARE(lines.size(), 1 + 1200 + 1);
    QCOMPARE(lines[0], QByteArray("Time ,Trace 1 ,Trace 2 ,\r"));
    QVERIFY(lines[1].endsWith(",25,30.5,\r"));

    QVERIFY(!rig.chart.ExportData(folder.filePath("missing/view.csv")));
    QVERIFY(!rig.chart.ExportData("/dev/full"));
}

void TestStripChart::drawsEverySpikeAndSurvivesTinySizes() {
    Rig rig;
    rig.Feed(50'000);
    rig.chart.AddSample(0, 80.0); // one spike among 150 000 samples
    rig.now += Period;
    rig.Feed(50'000);
    // The whole run in the view: ~125 samples per pixel column.
    rig.chart.timeWindow().Zoom(1e9, rig.chart.LatestTime(), rig.now - Start);
    const QImage picture = rig.chart.grab().toImage();
    const QRect plot = rig.chart.PlotRect();
    // Automatic scale: the spike is the top of the range, a little below
    // the plot's top edge; look for the Local colour in the upper tenth.
    bool spikeDrawn = false;
    for (int y = plot.top() + 1; y < plot.top() + plot.height() / 10 && !spikeDrawn; ++y) {
        for (int x = plot.left() + 1; x < plot.right() && !spikeDrawn; ++x) {
            spikeDrawn = picture.pixelColor(x, y) == StripChart::TraceColour(0);
        }
    }
    QVERIFY(spikeDrawn);

    for (const QSize size : {QSize(0, 0), QSize(3, 3), QSize(60, 20), QSize(1600, 900)}) {
        rig.chart.resize(size);
        QCOMPARE(rig.chart.grab().toImage().size(), size);
    }
}

void TestStripChart::toolTipShowsTheValuesUnderTheMouse() {
    Rig rig;
    rig.chart.setToolTip("Drag the arrows");
    rig.chart.SetTraceName(0, "Local");
    rig.chart.SetNumberFormat([](double v) { return " " + std::to_string(static_cast<int>(v)); });
    rig.Feed(100, 25.0f);
    rig.Feed(100, 27.0f);
    rig.chart.grab();
    const QRect plot = rig.chart.PlotRect();
    const QString text = rig.chart.ToolTipAt(QPoint(plot.right() - 2, plot.center().y()));
    QCOMPARE(text.section('\n', 0, 1), QString("10 00 09\nLocal: 27"));
    // Before the first sample there is nothing to show but the chart's tip.
    QCOMPARE(rig.chart.ToolTipAt(QPoint(plot.left() + 2, plot.center().y())),
             QString("Drag the arrows"));
}

void TestStripChart::runsOnAcrossMidnight() {
    Rig rig;
    rig.now = 86400.0 - 30.0;
    rig.Feed(600); // 30 s up to midnight
    rig.now = 0.0; // the time of day falls back
    rig.Feed(600);
    const TraceHistory& history = rig.chart.History(0);
    QVERIFY(Near(history.TimeAt(600), 86400.0, 1e-3));
    QVERIFY(Near(history.TimeAt(1199), 86400.0 + 599 * Period, 1e-3));
    // The view still shows the last minute, across midnight.
    QVERIFY(Near(rig.chart.VisibleTimeRange().end, history.TimeAt(1199), 1e-9));
    QVERIFY(!rig.chart.grab().isNull());
}

void TestStripChart::lanesShowBandsAndMarkersOnTheChartsTimeAxis() {
    Rig rig;
    rig.Feed(2400);
    rig.Decorate();
    rig.chart.timeWindow().Zoom(2.0, rig.chart.LatestTime(), 3600.0); // the whole run
    // Lane 1 is on from 40 s to 80 s of the run; lane 0 stays off.
    for (double t = Start; t < rig.now; t += 0.2) {
        rig.lanes.Record(0, t, false);
        const bool on = t >= Start + 40.0 && t < Start + 80.0;
        rig.lanes.Record(1, t, on, on ? QStringLiteral("set") : QStringLiteral("cleared"));
    }
    const QImage image = rig.chart.grab().toImage();
    const QColor base = rig.chart.palette().color(QPalette::Base);
    const QColor band(200, 40, 40);
    const int y1 = rig.LaneY(1);
    QCOMPARE(image.pixelColor(rig.X(Start + 60.0), y1), band);
    QCOMPARE(image.pixelColor(rig.X(Start + 20.0), y1), base);
    QCOMPARE(image.pixelColor(rig.X(Start + 60.0), rig.LaneY(0)), base);
    // Markers at both changes, whatever the band's state around them.
    for (const double change : rig.lanes.Lane(1).ChangeTimes()) {
        QCOMPARE(image.pixelColor(rig.X(change), y1), QColor(20, 20, 20));
    }
    // Zoomed in and scrolled back, the band scrolls with the traces.
    rig.chart.timeWindow().Zoom(0.25, rig.chart.LatestTime(), 3600.0);
    rig.chart.ScrollTo(Start + 60.0);
    QCOMPARE(rig.chart.grab().toImage().pixelColor(rig.X(Start + 60.0), y1), band);

    // Hidden from the menu, the lanes give the traces their room back.
    std::unique_ptr<QMenu> menu(rig.chart.CreateContextMenu());
    const int plotHeight = rig.chart.PlotRect().height();
    MenuAction(*menu, QStringLiteral("Show status lanes"))->toggle();
    QCOMPARE(rig.chart.BandRect().height(), 0);
    QVERIFY(rig.chart.PlotRect().height() > plotHeight);
}

void TestStripChart::limitLinesFollowTheirTraceAndTheMenu() {
    Rig rig;
    rig.Feed(2400);
    rig.Decorate();
    rig.lines.SetLevels(1, {10.0, 28.0});
    rig.lines.SetLevels(2, {15.0, 1000.0}); // the second far above the values shown
    const auto dashedAt = [&](double v, int trace) {
        const QImage shot = rig.chart.grab().toImage();
        const QRect plot = rig.chart.PlotRect();
        const ValueRange values = rig.chart.PaintedValueRange();
        const int y =
            std::min(plot.bottom(),
                     plot.top() + static_cast<int>(std::lround(PlotRow(v, values, plot.height()))));
        int hits = 0;
        for (int x = plot.left() + 1; x < plot.right(); ++x) {
            hits += shot.pixelColor(x, y) == StripChart::TraceColour(trace) ? 1 : 0;
        }
        // Dashes: most of the line, not all of it.
        return hits > plot.width() / 3 && hits < plot.width() - 10;
    };
    QVERIFY(dashedAt(10.0, 1) && dashedAt(28.0, 1) && dashedAt(15.0, 2));
    QVERIFY(!dashedAt(1000.0, 2));
    // A hidden trace takes its lines with it; so does unticking it in the menu.
    rig.chart.SelectVisibilityTrace(1);
    rig.chart.SetTraceVisible(false);
    QVERIFY(!dashedAt(10.0, 1));
    std::unique_ptr<QMenu> menu(rig.chart.CreateContextMenu());
    QAction* limits = MenuAction(*menu, QStringLiteral("Show limits"));
    MenuAction(*limits->menu(), QStringLiteral("Trace 3"))->toggle();
    QVERIFY(!dashedAt(15.0, 2));

    // Removed decorations leave neither paint nor menu behind.
    rig.chart.RemoveDecoration(&rig.lanes);
    rig.chart.RemoveDecoration(&rig.lines);
    rig.chart.grab();
    menu.reset(rig.chart.CreateContextMenu());
    QCOMPARE(MenuAction(*menu, QStringLiteral("Show limits")), nullptr);
}

void TestStripChart::repaintsOnlyWhatChangedOnTheScreen() {
    Rig rig;
    StripChart& chart = rig.chart;
    int formatted = 0;
    chart.SetTimeFormat([&formatted](double t) {
        ++formatted;
        return TimeLabel(t);
    });
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    rig.Feed(2400); // two minutes, more than the span shown
    const PaintCounter counter(chart);
    // Repaints for `feeds` samples, after whatever was pending before.
    const auto paintsFor = [&rig, &counter](int feeds) {
        rig.chart.repaint();
        QCoreApplication::processEvents();
        const int before = counter.paints;
        rig.Feed(feeds);
        QCoreApplication::processEvents();
        return counter.paints - before;
    };
    QVERIFY(paintsFor(20) > 0);
    // The labels are made once per scale: painting the same view again
    // formats none, and scrolling by a few columns only the new ones.
    formatted = 0;
    chart.repaint();
    QCOMPARE(formatted, 0);
    rig.Feed(2);
    chart.repaint();
    QVERIFY(formatted <= 1);

    // Paused, scrolled back or minimised, samples with the same legend
    // repaint nothing.
    chart.PauseScrolling();
    QCOMPARE(paintsFor(40), 0);
    chart.ResumeScrolling();
    chart.ScrollTo(Start + 10.0);
    QCOMPARE(paintsFor(40), 0);
    chart.ResumeScrolling();
    QVERIFY(paintsFor(40) > 0);
    chart.showMinimized();
    QCOMPARE(paintsFor(40), 0);
}

void TestStripChart::scrollingShowsWhatAWholePaintWould() {
    // A following chart scrolls the pixels it has drawn and draws only the
    // new columns: at every step the screen must hold what drawing the
    // whole chart afresh would give, traces, joints, grid, time labels,
    // limit lines and lanes alike.
    QWidget window;
    window.resize(800, 400);
    Rig rig;
    StripChart& chart = rig.chart;
    chart.setParent(&window);
    rig.Decorate();
    rig.lines.SetLevels(0, {26.0});
    rig.lines.SetLevels(1, {30.0});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int step = 0;
    const auto feed = [&rig, &step](int ticks, double period) {
        for (int i = 0; i < ticks; ++i, ++step) {
            rig.chart.AddSamples(
                {25.0 + 2.0 * std::sin(step * 0.37), 30.0 + (step % 7) * 0.25, -1.75});
            rig.lanes.Record(0, rig.now, step % 40 < 3);
            rig.lanes.Record(1, rig.now, step % 90 > 45);
            rig.now += period;
            QCoreApplication::processEvents();
        }
    };
    // New columns wait at most half a second: a sample that much later
    // shows them all but the one still filling.
    const auto sameAsWholePaint = [&window, &chart, &rig, &feed]() {
        rig.now += 0.5;
        feed(1, 0.0437);
        const QImage scrolled = OnScreen(window);
        chart.repaint();
        const QImage whole = OnScreen(window);
        const QRect plot = chart.PlotRect();
        for (int y = 0; y < whole.height(); ++y) {
            for (int x = 0; x < plot.right() - 1; ++x) {
                if (scrolled.pixel(x, y) != whole.pixel(x, y)) {
                    qWarning("The screen differs first at %d,%d", x, y);
                    return false;
                }
            }
        }
        return true;
    };
    feed(1300, 0.0437);
    const PaintCounter counter(chart, chart.PlotRect());
    feed(300, 0.0437);
    QVERIFY(sameAsWholePaint());
    // 13 s at 12 columns a second: a scroll every four columns, each
    // painting only what it uncovers.
    QVERIFY2(counter.paints >= 33 && counter.paints <= 45,
             qPrintable(QString::number(counter.paints)));
    QVERIFY(counter.partial >= counter.paints - 1);
    // Several columns a sample, and a pause in the samples that leaves a
    // gap for joints to cross.
    feed(100, 0.31);
    rig.now += 2.5;
    feed(30, 0.0437);
    QVERIFY(sameAsWholePaint());
    // A spike moves the value range, and then scrolls out of view again.
    rig.chart.AddSample(0, 80.0);
    feed(5, 0.0437);
    QVERIFY(sameAsWholePaint());
    feed(1500, 0.0437);
    QVERIFY(sameAsWholePaint());
    // A part of the plot shown again (another window moved off it) between
    // two scrolls shows the columns that are there now.
    feed(3, 0.0437);
    chart.update(chart.PlotRect().adjusted(10, 10, -400, -10));
    feed(3, 0.0437);
    QVERIFY(sameAsWholePaint());
    // An exported picture is painted off the screen: the screen stays right.
    QVERIFY(!chart.grab().isNull());
    feed(50, 0.0437);
    QVERIFY(sameAsWholePaint());
    // A window over a part of the chart: what scrolls out from under it is
    // drawn again.
    QWidget cover(&window);
    cover.setAutoFillBackground(true);
    cover.setGeometry(chart.PlotRect().center().x(), 100, 150, 400);
    cover.show();
    feed(200, 0.0437);
    QVERIFY(sameAsWholePaint());
}

} // namespace qmt::widgets

QTEST_MAIN(qmt::widgets::TestStripChart)
#include "test_strip_chart.moc"
