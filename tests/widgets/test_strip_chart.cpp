#include "widgets/strip_chart.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>

namespace qmt::widgets {

namespace {

constexpr double Period = 0.05;

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

QAction* MenuAction(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

// A chart on a clock the test moves.
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
    double now = 36000.0;
    StripChart chart;
};

QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"));
    lines.removeAll(QString());
    return lines;
}

} // namespace

class TestStripChart : public QObject {
    Q_OBJECT

private slots:
    void traceOperationsKeepTheirSelections();
    void followsLatestUntilScrolledBackWhileSamplesArrive();
    void dragsAndWheelZoomTheRanges();
    void exportsTheVisibleRangeOfVisibleTraces();
    void drawsEverySpikeAndSurvivesTinySizes();
    void toolTipShowsTheValuesUnderTheMouse();
    void runsOnAcrossMidnight();
};

void TestStripChart::traceOperationsKeepTheirSelections() {
    StripChart chart;
    chart.SelectTrace(2);
    chart.SetTraceCaption("Remote1 = 30.50°C");
    chart.SelectTrace(3);
    chart.SetTraceCaption("");
    chart.SelectTrace(9); // out of range: the last trace
    chart.SetTraceCaption("third");
    QCOMPARE(chart.TraceCaption(2), QString("Remote1 = 30.50°C"));
    QCOMPARE(chart.TraceCaption(3), QString("third"));
    QCOMPARE(chart.TraceCaption(1), QString());
    chart.SelectVisibilityTrace(2);
    chart.SetTraceVisible(false);
    QVERIFY(!chart.TraceVisible(2));
    QVERIFY(chart.TraceVisible(1));
    chart.SetTraceVisible(true);
    QVERIFY(chart.TraceVisible(2));
}

void TestStripChart::followsLatestUntilScrolledBackWhileSamplesArrive() {
    Rig rig;
    rig.Feed(2400); // two minutes
    StripChart& chart = rig.chart;
    QVERIFY(chart.timeWindow().Following());
    QCOMPARE(chart.VisibleTimeRange().end, chart.LatestTime());
    // Samples of one feed share their time stamp.
    QCOMPARE(chart.History(0).TimeAt(7), chart.History(2).TimeAt(7));

    // Drag the plot to the right: back in time by half the span.
    const QRect plot = chart.PlotRect();
    Drag(chart, plot.center(), plot.center() + QPoint(plot.width() / 2, 0));
    QVERIFY(!chart.timeWindow().Following());
    const TimeRange held = chart.VisibleTimeRange();
    QVERIFY(std::abs(chart.LatestTime() - held.end - TimeWindow::DefaultSpan / 2) < 0.5);
    rig.Feed(200);
    QCOMPARE(chart.VisibleTimeRange().end, held.end);
    QCOMPARE(chart.History(1).Size(), std::size_t{2600});

    std::unique_ptr<QMenu> menu(chart.CreateContextMenu());
    QVERIFY(MenuAction(*menu, "Pause scrolling") == nullptr);
    MenuAction(*menu, "Resume")->trigger();
    QVERIFY(chart.timeWindow().Following());
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

void TestStripChart::dragsAndWheelZoomTheRanges() {
    Rig rig;
    rig.Feed(2000); // 100 s
    StripChart& chart = rig.chart;
    chart.grab(); // paint once so the value range is known
    const QRect plot = chart.PlotRect();
    const QPoint timeHandle(plot.right() - 4, plot.bottom() + 6);
    Drag(chart, timeHandle, timeHandle + QPoint(150, 0));
    QVERIFY(std::abs(chart.timeWindow().Span() - TimeWindow::DefaultSpan / std::exp(1.0)) < 0.01);
    Drag(chart, timeHandle, timeHandle - QPoint(150, 0));
    QVERIFY(std::abs(chart.timeWindow().Span() - TimeWindow::DefaultSpan) < 0.01);

    QVERIFY(chart.valueWindow().Automatic());
    const QPoint valueHandle(plot.left() - 6, plot.top() + 4);
    Drag(chart, valueHandle, valueHandle - QPoint(0, 100));
    QVERIFY(!chart.valueWindow().Automatic());
    SendMouse(chart, QEvent::MouseButtonDblClick, valueHandle, Qt::LeftButton);
    QVERIFY(chart.valueWindow().Automatic());

    // The same from the keyboard.
    QTest::keyClick(&chart, Qt::Key_Plus);
    QVERIFY(std::abs(chart.timeWindow().Span() - TimeWindow::DefaultSpan * 0.8) < 0.01);
    QTest::keyClick(&chart, Qt::Key_Minus);
    QVERIFY(std::abs(chart.timeWindow().Span() - TimeWindow::DefaultSpan) < 0.01);
    const double latest = chart.LatestTime();
    QTest::keyClick(&chart, Qt::Key_Left);
    QVERIFY(!chart.timeWindow().Following());
    QVERIFY(std::abs(chart.VisibleTimeRange().end - (latest - 6.0)) < 1e-6);
    QTest::keyClick(&chart, Qt::Key_Home);
    QVERIFY(std::abs(chart.VisibleTimeRange().start - chart.History(0).TimeAt(0)) < 1e-6);
    QTest::keyClick(&chart, Qt::Key_End);
    QVERIFY(chart.timeWindow().Following());

    QWheelEvent wheel(QPointF(plot.center()), chart.mapToGlobal(QPointF(plot.center())), {},
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&chart, &wheel);
    QVERIFY(std::abs(chart.timeWindow().Span() - TimeWindow::DefaultSpan * 0.8) < 0.01);
}

void TestStripChart::exportsTheVisibleRangeOfVisibleTraces() {
    Rig rig;
    rig.chart.SetTraceName(0, "Local");
    rig.chart.SetTraceName(1, "Remote1");
    rig.chart.SetTraceName(2, "Remote2");
    rig.Feed(3000);
    // Ends between two samples, so that both ends are clear-cut.
    rig.chart.timeWindow().ScrollBy(-30.025, 0.0, rig.chart.LatestTime());
    const TimeRange range = rig.chart.VisibleTimeRange();
    rig.chart.SelectVisibilityTrace(2);
    rig.chart.SetTraceVisible(false);

    QTemporaryDir folder;
    const QString path = folder.filePath("view.csv");
    QVERIFY(rig.chart.ExportData(path));
    const QStringList lines = ReadLines(path);
    QCOMPARE(lines.first(), QString("Time ,Local ,Remote1 ,"));
    // One minute at 20 samples a second.
    QCOMPARE(lines.size(), 1 + 1200);
    const TraceHistory& history = rig.chart.History(0);
    const auto stamp = [&history](std::size_t index) {
        return QString::fromStdString(TimeStampText(history.TimeAt(index)));
    };
    QCOMPARE(lines.at(1), stamp(history.LowerBound(range.start)) + ",25,30.5,");
    QCOMPARE(lines.last(), stamp(history.UpperBound(range.end) - 1) + ",25,30.5,");

    QVERIFY(!rig.chart.ExportData(folder.filePath("missing/view.csv")));
    if (QFile::exists("/dev/full")) {
        QVERIFY(!rig.chart.ExportData("/dev/full"));
    }
    const QString image = folder.filePath("view.png");
    QVERIFY(rig.chart.ExportImage(image));
    QCOMPARE(QImage(image).size(), rig.chart.size());
}

void TestStripChart::drawsEverySpikeAndSurvivesTinySizes() {
    Rig rig;
    rig.Feed(50'000);
    rig.chart.AddSample(0, 80.0); // one spike among 150 000 samples
    rig.now += Period;
    rig.Feed(50'000);
    // The whole run in the view: ~125 samples per pixel column.
    rig.chart.timeWindow().Zoom(1e9, rig.chart.LatestTime(), rig.now - 36000.0);
    const QImage picture = rig.chart.grab().toImage();
    const QRect plot = rig.chart.PlotRect();
    // Automatic scale: the spike is the top of the range, a little below
    // the plot's top edge; look for the Local colour in the upper tenth.
    bool spikeDrawn = false;
    for (int y = plot.top() + 1; y < plot.top() + plot.height() / 10 && !spikeDrawn; ++y) {
        for (int x = plot.left() + 1; x < plot.right() && !spikeDrawn; ++x) {
            spikeDrawn = picture.pixelColor(x, y) == QColor(0, 90, 200);
        }
    }
    QVERIFY(spikeDrawn);

    for (const QSize size : {QSize(0, 0), QSize(3, 3), QSize(60, 20), QSize(1600, 900)}) {
        rig.chart.resize(size);
        const QImage image = rig.chart.grab().toImage();
        QCOMPARE(image.size(), size);
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
    QCOMPARE(rig.chart.ToolTipAt(QPoint(2, 2)), QString("Drag the arrows"));
    const QString text = rig.chart.ToolTipAt(QPoint(plot.right() - 2, plot.center().y()));
    QVERIFY2(text.contains("Local: 27"), qPrintable(text));
    QVERIFY2(text.contains("Trace 2: 30"), qPrintable(text));
    QVERIFY2(text.contains(QRegularExpression("^10 00 \\d\\d\\n")), qPrintable(text));
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
    QCOMPARE(history.Size(), std::size_t{1200});
    QVERIFY(std::abs(history.TimeAt(600) - 86400.0) < 1e-3);
    QVERIFY(std::abs(history.TimeAt(1199) - (86400.0 + 599 * Period)) < 1e-3);
    // The view still shows the last minute, across midnight.
    const TimeRange range = rig.chart.VisibleTimeRange();
    QVERIFY(std::abs(range.end - history.TimeAt(1199)) < 1e-9);
    QCOMPARE(QString::fromStdString(TimeLabel(86400.0)), QString("00 00 00"));
    QVERIFY(!rig.chart.grab().isNull());
}

} // namespace qmt::widgets

QTEST_MAIN(qmt::widgets::TestStripChart)
#include "test_strip_chart.moc"
