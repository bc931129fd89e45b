#include "widgets/indicator.h"

#include <QImage>
#include <QtTest>

namespace qmt::widgets {

class TestIndicator : public QObject {
    Q_OBJECT

private slots:
    void showsRedOnGreenOffGreyUnknown();
};

void TestIndicator::showsRedOnGreenOffGreyUnknown() {
    Indicator lamp;
    lamp.resize(20, 20);
    QCOMPARE(lamp.state(), Indicator::State::Unknown);
    const auto centre = [&lamp] {
        QImage image(lamp.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        lamp.render(&image);
        return image.pixelColor(12, 12);
    };
    const QColor unknown = centre();
    QCOMPARE(unknown.red(), unknown.green()); // grey
    lamp.SetState(Indicator::State::On);
    QColor on = centre();
    QVERIFY2(on.red() > 2 * on.green() && on.red() > 2 * on.blue(), qPrintable(on.name()));
    lamp.SetState(Indicator::State::Off);
    QColor off = centre();
    QVERIFY2(off.green() > 2 * off.red(), qPrintable(off.name()));
}

} // namespace qmt::widgets

QTEST_MAIN(qmt::widgets::TestIndicator)
#include "test_indicator.moc"
