#include "widgets/gauge.h"

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
    void repaintsOnlyWhatChanged();
};

void TestGauge::scaleMapsDegreesToPixelsAndBack() {
    const QFontMetricsF metrics(QFont{});
    const GaugeGeometry g(QRectF(0, 0, 120, 320), metrics, -64, 192);
    QVERIFY(g.YOf(-64) > g.YOf(0));
    QCOMPARE(g.YOf(-100), g.YOf(-64)); // outside the scale: at its ends
    QCOMPARE(g.YOf(500), g.YOf(192));
    QCOMPARE(g.ValueAt(g.YOf(70.25)), 70.25);
    QCOMPARE(g.ValueAt(-1000), 192.0);
    QCOMPARE(g.ValueAt(1000), -64.0);
    // Labels never closer than a text line, however short the gauge.
    for (const double height : {120.0, 320.0, 2000.0}) {
        const GaugeGeometry sized(QRectF(0, 0, 120, height), metrics, 0, 256);
        const double gap = sized.YOf(0) - sized.YOf(sized.LabelStep());
        QVERIFY2(gap >= metrics.height(), qPrintable(QString::number(height)));
    }
    // Three pointers at one value stay apart, so each can be taken.
    const QRectF low = g.PointerFlag(0, 85);
    const QRectF high = g.PointerFlag(1, 85);
    const QRectF therm = g.PointerFlag(2, 85);
    QVERIFY(!low.intersects(high) && !high.intersects(therm));
    QVERIFY(low.left() > g.tube().right());
    // A narrow gauge keeps every flag on its face.
    for (const double width : {80.0, 100.0, 300.0}) {
        const GaugeGeometry narrow(QRectF(0, 0, width, 320), metrics, 0, 256);
        QVERIFY2(narrow.face().contains(narrow.PointerFlag(2, 85)),
                 qPrintable(QString::number(width)));
    }
}

void TestGauge::dragReportsOnceOnDropAndProgramSettingsNever() {
    ShownGauge shown;
    Gauge& gauge = shown.gauge;
    QSignalSpy moved(&gauge, &Gauge::pointerMoved);

    gauge.SetPointer(GaugePointer::High, 90);
    gauge.SetScale(0, 256);
    QCOMPARE(moved.count(), 0);

    // High and THERM stand at the same value: each flag takes its own pointer.
    const QPoint from = gauge.PointerHandle(GaugePointer::High);
    const QPoint to = shown.At(GaugePointer::High, 70.3);
    QTest::mousePress(&gauge, Qt::LeftButton, {}, from);
    QTest::mouseMove(&gauge, to);
    QCOMPARE(moved.count(), 0);
    QVERIFY(gauge.pendingValue().has_value());
    QVERIFY(std::abs(*gauge.pendingValue() - 70.3) < 1.0);
    QCOMPARE(gauge.pointer(GaugePointer::High), 90.0); // not yet dropped
    QTest::mouseRelease(&gauge, Qt::LeftButton, {}, to);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).toInt(), 1);
    QVERIFY(std::abs(gauge.pointer(GaugePointer::High) - 70.3) < 1.0);
    QCOMPARE(gauge.pointer(GaugePointer::Therm), 85.0);
    QVERIFY(!gauge.pendingValue());

    // Dragged past the ends, a pointer stops at them.
    Drag(gauge, gauge.PointerHandle(GaugePointer::Therm), QPoint(from.x(), -500));
    QCOMPARE(gauge.pointer(GaugePointer::Therm), 256.0);
    Drag(gauge, gauge.PointerHandle(GaugePointer::Low), QPoint(from.x(), 5000));
    QCOMPARE(gauge.pointer(GaugePointer::Low), 0.0);
    QCOMPARE(moved.count(), 2); // the low pointer did not move

    // A click beside the flags takes nothing.
    Drag(gauge, QPoint(2, from.y()), QPoint(2, 10));
    QCOMPARE(moved.count(), 2);
    gauge.CommitPointer(GaugePointer::High, 40);
    QCOMPARE(moved.count(), 3);
}

void TestGauge::keyboardStepsQuartersAndCommitsWithEnter() {
    ShownGauge shown;
    Gauge& gauge = shown.gauge;
    gauge.setFocus();
    QSignalSpy moved(&gauge, &Gauge::pointerMoved);
    QCOMPARE(gauge.selectedPointer(), GaugePointer::High);

    QTest::keyClick(&gauge, Qt::Key_Down);
    QTest::keyClick(&gauge, Qt::Key_Down);
    QTest::keyClick(&gauge, Qt::Key_PageDown);
    QCOMPARE(gauge.pendingValue(), std::optional(83.5));
    QCOMPARE(moved.count(), 0);
    QTest::keyClick(&gauge, Qt::Key_Return);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(gauge.pointer(GaugePointer::High), 83.5);

    // Escape takes a move back; so does picking another pointer.
    QTest::keyClick(&gauge, Qt::Key_Up);
    QTest::keyClick(&gauge, Qt::Key_Escape);
    QTest::keyClick(&gauge, Qt::Key_PageUp);
    QTest::keyClick(&gauge, Qt::Key_Right);
    QCOMPARE(gauge.selectedPointer(), GaugePointer::Therm);
    QTest::keyClick(&gauge, Qt::Key_Enter);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(gauge.pointer(GaugePointer::High), 83.5);

    // A value off the quarter grid steps onto it; the scale's end holds.
    gauge.SetPointer(GaugePointer::Therm, 255.9);
    QTest::keyClick(&gauge, Qt::Key_Up);
    QCOMPARE(gauge.pendingValue(), std::optional(256.0));
    QTest::keyClick(&gauge, Qt::Key_PageUp);
    QCOMPARE(gauge.pendingValue(), std::optional(256.0));
    QTest::keyClick(&gauge, Qt::Key_Right);
    QCOMPARE(gauge.selectedPointer(), GaugePointer::Low);
    QTest::keyClick(&gauge, Qt::Key_Down);
    QCOMPARE(gauge.pendingValue(), std::optional(0.0));
    QTest::keyClick(&gauge, Qt::Key_Return);
    QCOMPARE(moved.count(), 1); // unchanged: nothing to report
    QTest::keyClick(&gauge, Qt::Key_Up);
    QTest::keyClick(&gauge, Qt::Key_Enter);
    QCOMPARE(moved.count(), 2);
    QCOMPARE(gauge.pointer(GaugePointer::Low), 0.25);
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

} // namespace qmt::widgets

QTEST_MAIN(qmt::widgets::TestGauge)
#include "test_gauge.moc"
