#include "widgets/gauge.h"
#include "widgets/gauge_scale.h"

#include <QPaintEvent>
#include <QSignalSpy>
#include <QtTest>

namespace qmt::widgets {

namespace {

// Counts the gauge's paint events and keeps the region of the last one.
struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++count;
            region = static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
    int count = 0;
    QRegion region;
};

// A gauge shown at 120 x 320 px with the scale of the normal range.
struct ShownGauge {
    ShownGauge() : gauge(1) {
        gauge.SetScale(0, 256);
        gauge.SetPointer(GaugePointer::Low, 0);
        gauge.SetPointer(GaugePointer::High, 85);
        gauge.SetPointer(GaugePointer::Therm, 85);
        gauge.resize(120, 320);
        gauge.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gauge));
    }
    QPoint At(GaugePointer which, double value) const {
        return {gauge.PointerHandle(which).x(),
                static_cast<int>(std::lround(gauge.geometry().YOf(value)))};
    }
    Gauge gauge;
};

void Drag(Gauge& gauge, QPoint from, QPoint to) {
    QTest::mousePress(&gauge, Qt::LeftButton, {}, from);
    QTest::mouseMove(&gauge, (from + to) / 2);
    QTest::mouseMove(&gauge, to);
    QTest::mouseRelease(&gauge, Qt::LeftButton, {}, to);
}

} // namespace

class TestGauge : public QObject {
    Q_OBJECT

private slots:
    void scaleMapsDegreesToPixelsAndBack();
    void dragReportsOnceOnDropAndProgramSettingsNever();
    void keyboardStepsQuartersAndCommitsWithEnter();
    void pointerGridSetsTheStepAndWhatAMoveShows();
    void repaintsOnlyWhatChanged();
    void readoutTakesALinePerPointerWhenNarrow();
};

void TestGauge::scaleMapsDegreesToPixelsAndBack() {
    const QFontMetricsF metrics(QFont{});
    const GaugeGeometry g(QRectF(0, 0, 120, 320), metrics, -64, 192);
    QCOMPARE(g.YOf(-100), g.YOf(-64)); // outside the scale: at its ends
    QCOMPARE(g.ValueAt(g.YOf(70.25)), 70.25);
    QCOMPARE(g.ValueAt(-1000), 192.0);
    // Labels never closer than a text line; flags at one value stay apart and
    // on the face, so each can be taken, however small the gauge.
    for (const QSizeF size : {QSizeF(80, 120), QSizeF(120, 320), QSizeF(300, 2000)}) {
        const GaugeGeometry sized(QRectF(QPointF(), size), metrics, 0, 256);
        QVERIFY(sized.YOf(0) - sized.YOf(sized.LabelStep()) >= metrics.height());
        const QRectF therm = sized.PointerFlag(2, 85);
        QVERIFY(sized.face().contains(therm) && !sized.PointerFlag(1, 85).intersects(therm));
        QVERIFY(!sized.PointerFlag(1, 84).intersects(therm));
        QVERIFY(sized.PointerFlag(0, 85).left() > sized.tube().right());
        // The readout sits between the scale and the caption.
        QVERIFY(sized.readout().top() > sized.scaleBottom());
        QVERIFY(sized.readout().bottom() <= sized.caption().top());
    }
}

void TestGauge::dragReportsOnceOnDropAndProgramSettingsNever() {
    ShownGauge shown;
    Gauge& gauge = shown.gauge;
    QSignalSpy moved(&gauge, &Gauge::pointerMoved);
    gauge.SetScale(0, 256);

    // High and THERM stand at the same value: each flag takes its own pointer.
    const QPoint from = gauge.PointerHandle(GaugePointer::High);
    const QPoint to = shown.At(GaugePointer::High, 70.3);
    QTest::mousePress(&gauge, Qt::LeftButton, {}, from);
    QTest::mouseMove(&gauge, to);
    QCOMPARE(moved.count(), 0);
    QCOMPARE(gauge.pointer(GaugePointer::High), 85.0); // not yet dropped
    QTest::mouseRelease(&gauge, Qt::LeftButton, {}, to);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).toInt(), 1);
    QVERIFY(std::abs(gauge.pointer(GaugePointer::High) - 70.3) < 1.0);
    QCOMPARE(gauge.pointer(GaugePointer::Therm), 85.0);

    // Dragged past the top, a pointer raises the scale a span at a time up to
    // its limit; past the bottom it stops there. One that did not move and a
    // click beside the flags report nothing.
    QCOMPARE(gauge.upper(), 128.0);
    Drag(gauge, gauge.PointerHandle(GaugePointer::Therm), QPoint(from.x(), -500));
    QVERIFY(gauge.upper() > 128.0);
    for (int more = 0; more < 3; ++more) {
        Drag(gauge, gauge.PointerHandle(GaugePointer::Therm), QPoint(from.x(), -500));
    }
    QCOMPARE(gauge.pointer(GaugePointer::Therm), 256.0);
    QCOMPARE(gauge.upper(), 256.0);
    const int raised = static_cast<int>(moved.count());
    Drag(gauge, gauge.PointerHandle(GaugePointer::Low), QPoint(from.x(), 5000));
    Drag(gauge, QPoint(2, from.y()), QPoint(2, 10));
    QCOMPARE(moved.count(), raised);
    // Set back by the program, the scale shrinks to fit again.
    gauge.SetPointer(GaugePointer::Therm, 85);
    QCOMPARE(gauge.upper(), 128.0);
}

void TestGauge::keyboardStepsQuartersAndCommitsWithEnter() {
    ShownGauge shown;
    Gauge& gauge = shown.gauge;
    gauge.setFocus();
    QSignalSpy moved(&gauge, &Gauge::pointerMoved);
    QTest::keyClick(&gauge, Qt::Key_Down);
    QTest::keyClick(&gauge, Qt::Key_PageDown);
    QCOMPARE(gauge.pendingValue(), std::optional(83.75));
    QCOMPARE(moved.count(), 0);
    QTest::keyClick(&gauge, Qt::Key_Return);
    QCOMPARE(gauge.pointer(GaugePointer::High), 83.75);

    // Escape takes a move back; so does picking another pointer.
    QTest::keyClick(&gauge, Qt::Key_Up);
    QTest::keyClick(&gauge, Qt::Key_Escape);
    QTest::keyClick(&gauge, Qt::Key_PageUp);
    QTest::keyClick(&gauge, Qt::Key_Right);
    QTest::keyClick(&gauge, Qt::Key_Enter);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(gauge.pointer(GaugePointer::High), 83.75);

    // A value off the quarter grid steps onto it; the scale's end holds and
    // an unchanged value is not reported.
    gauge.SetPointer(GaugePointer::Therm, 255.9);
    QTest::keyClick(&gauge, Qt::Key_PageUp);
    QCOMPARE(gauge.pendingValue(), std::optional(256.0));
    QTest::keyClick(&gauge, Qt::Key_Right);
    QCOMPARE(gauge.selectedPointer(), GaugePointer::Low);
    QTest::keyClick(&gauge, Qt::Key_Down);
    QTest::keyClick(&gauge, Qt::Key_Return);
    QCOMPARE(moved.count(), 1);
}

void TestGauge::pointerGridSetsTheStepAndWhatAMoveShows() {
    ShownGauge shown;
    Gauge& gauge = shown.gauge;
    gauge.setFocus();
    gauge.SetPointerGrid(GaugePointer::High, 1.0, [](double t) { return std::round(t); });
    QSignalSpy moved(&gauge, &Gauge::pointerMoved);
    QTest::keyClick(&gauge, Qt::Key_Down);
    QCOMPARE(gauge.pendingValue(), std::optional(84.0));
    QTest::keyClick(&gauge, Qt::Key_Escape);

    // Every step of a drag shows the settled value, and the drop commits it.
    const QPoint from = gauge.PointerHandle(GaugePointer::High);
    QTest::mousePress(&gauge, Qt::LeftButton, {}, from);
    for (int dy = 1; dy <= 20; ++dy) {
        QTest::mouseMove(&gauge, QPoint(from.x(), from.y() + dy));
        QCOMPARE(*gauge.pendingValue(), std::round(*gauge.pendingValue()));
    }
    const double pending = *gauge.pendingValue();
    QTest::mouseRelease(&gauge, Qt::LeftButton, {}, QPoint(from.x(), from.y() + 20));
    QCOMPARE(gauge.pointer(GaugePointer::High), pending);
    QCOMPARE(moved.count(), 1);
    // The other pointers keep the quarter steps.
    QTest::keyClick(&gauge, Qt::Key_Right);
    QTest::keyClick(&gauge, Qt::Key_Up);
    QCOMPARE(gauge.pendingValue(), std::optional(85.25));
}

void TestGauge::repaintsOnlyWhatChanged() {
    ShownGauge shown;
    Gauge& gauge = shown.gauge;
    PaintCounter paints;
    gauge.installEventFilter(&paints);
    QApplication::processEvents();
    paints.count = 0;

    gauge.SetValue(0);
    gauge.SetCaption(QString());
    gauge.SetPointer(GaugePointer::High, 85);
    QApplication::processEvents();
    QCOMPARE(paints.count, 0);

    gauge.SetValue(25.5);
    QApplication::processEvents();
    QCOMPARE(paints.count, 1);
    QVERIFY(paints.region.boundingRect().width() < gauge.width() / 3);
    gauge.SetCaption(QStringLiteral(" 25.5\u00B0C"));
    QApplication::processEvents();
    QVERIFY(paints.region.boundingRect().height() < gauge.height() / 5);
    QVERIFY(!paints.region.contains(gauge.geometry().tube().center().toPoint()));
}

void TestGauge::readoutTakesALinePerPointerWhenNarrow() {
    ShownGauge shown;
    Gauge& gauge = shown.gauge;
    gauge.SetPointer(GaugePointer::Low, -10.75);
    gauge.SetPointer(GaugePointer::High, 85.25);
    const QFontMetricsF metrics(gauge.font());
    const double longest = metrics.horizontalAdvance(PointerReadoutLine(-64.75, 255.75, 255.75));
    QCOMPARE(PointerReadoutLines(metrics, longest + 1), 1);
    QCOMPARE(PointerReadoutLines(metrics, longest - 1), 3);
    const double line = metrics.height();
    gauge.resize(static_cast<int>(longest) + 60, 320);
    QCOMPARE(gauge.geometry().readout().height(), line);
    gauge.resize(60, 320);
    QCOMPARE(gauge.geometry().readout().height(), 3 * line);
    // Narrowed, the scale gives up the room; the readout never covers it.
    QVERIFY(gauge.geometry().scaleBottom() < gauge.geometry().readout().top());
}

} // namespace qmt::widgets

QTEST_MAIN(qmt::widgets::TestGauge)
#include "test_gauge.moc"
