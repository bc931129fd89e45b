#include "app/app_identity.h"
#include "app/frm_about.h"
#include "app/frm_main.h"
#include "app/frm_splash.h"
#include "app/support/app_world.h"
#include "app/twips.h"
#include "link/connection_sequence.h"
#include "link/register_access.h"
#include "support/fake_clock.h"
#include "support/recording_link_error_handler.h"
#include "support/stub_bridge.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace qmt::app {

using test::AppWorld;

class TestSplashAbout : public QObject {
    Q_OBJECT

private slots:
    void splashShowsIdentity();
    void splashFollowsTheConnectionSequence();
    void aboutTextsLinkAndClose();
    void aboutPlacementKeepsCaptionReachable();
};

void TestSplashAbout::splashShowsIdentity() {
    FrmSplash splash;
    QVERIFY(splash.windowFlags().testFlag(Qt::SplashScreen));
    QCOMPARE(splash.lblProductName()->text(), QStringLiteral("QMT6171/2/3 Evaluation Software"));
    QCOMPARE(splash.lblVersion()->text(), QStringLiteral("Version 2.0.0"));
    QCOMPARE(splash.lblPlatform()->text(), PlatformText());
    QVERIFY(splash.lblPlatform()->text().startsWith(QLatin1String("Linux")));
    QCOMPARE(splash.size(), TwipsToPixels(&splash, FrmSplash::WidthTwips, FrmSplash::HeightTwips));
    QCOMPARE(splash.Line1(0)->width(), TwipsToPixels(FrmSplash::BarTwips, LogicalDpi(&splash)));

    splash.ShowAndPaint();
    QVERIFY(splash.isVisible());
    QVERIFY(!splash.lblProgInfo()->isVisible());
    QVERIFY(!splash.lblProgress()->isVisible());
}

void TestSplashAbout::splashFollowsTheConnectionSequence() {
    test::FakeClock clock;
    test::StubBridge bridge;
    bridge.AddChip(0x4C);
    link::USBStuff usb;
    GeneralStuff state;
    test::RecordingLinkErrorHandler errors;
    link::RegisterAccess access(bridge, usb, state, errors);
    FrmSplash splash;
    splash.ShowAndPaint();
    QSignalSpy stages(&splash, &FrmSplash::stageShown);
    QSignalSpy bar(&splash, &FrmSplash::progressChanged);
    QSignalSpy status(&splash, &FrmSplash::statusMessage);

    link::ConnectionSequence(access, clock, splash, {"", false, {}}).Run();

    QCOMPARE(stages.size(), 5);
    QCOMPARE(stages.first().first().toString(), QStringLiteral("Downloading Firmware..."));
    QCOMPARE(stages.last().first().toString(), QStringLiteral("Found an QMT6171/2/3 at 4Ch"));
    QCOMPARE(splash.lblProgInfo()->text(), QStringLiteral("Found an QMT6171/2/3 at 4Ch"));
    QVERIFY(splash.lblProgInfo()->isVisible());
    QVERIFY(splash.lblProgress()->isVisible());
    // One step is a hundredth of the design width: 33 steps after the
    // firmware, half steps while enumerating, the full line at the end.
    const int step = FrmSplash::BarTwips / 100;
    QCOMPARE(bar.at(0).first().toDouble(), 0.0);
    QCOMPARE(bar.at(1).first().toDouble(), 33.0 * step);
    QCOMPARE(bar.at(2).first().toDouble(), 33.5 * step);
    QCOMPARE(bar.last().first().toDouble(), double(FrmSplash::BarTwips));
    QCOMPARE(splash.lblProgress()->width(),
             TwipsToPixels(FrmSplash::BarTwips, LogicalDpi(&splash)));
    splash.SetBarWidth(33.0 * step);
    QCOMPARE(splash.lblProgress()->width(), TwipsToPixels(33.0 * step, LogicalDpi(&splash)));
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.first().first().toString(), QStringLiteral("Firmware download succesful"));
}

void TestSplashAbout::aboutTextsLinkAndClose() {
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    FrmMain& mainWindow = world.main();
    QMdiSubWindow* frame = mainWindow.childWindows().Open(WindowId::About);
    auto* about = qobject_cast<FrmAbout*>(frame->widget());
    QVERIFY(about != nullptr);

    QCOMPARE(frame->windowTitle(), QStringLiteral("About the  QMT6171/2/3 Software"));
    QCOMPARE(about->Label1()->text(), QStringLiteral("QMT6171/2/3 Evaluation Software Version"));
    QCOMPARE(about->lblVersion()->text(), QStringLiteral("2.0.0"));
    QVERIFY(!about->Label2()->text().isEmpty());
    QVERIFY(!about->Label5()->text().isEmpty());
    QCOMPARE(about->Label6()->text(), FrmAbout::WebAddress().toString());
    QCOMPARE(about->cmdOK()->text(), QStringLiteral("OK"));

    const QColor purple(128, 0, 128);
    QVERIFY(about->Label6()->palette().color(QPalette::WindowText) != purple);
    QTest::mouseClick(about->Label6(), Qt::LeftButton);
    QCOMPARE(world.openedUrls, std::vector{FrmAbout::WebAddress()});
    QCOMPARE(about->Label6()->palette().color(QPalette::WindowText), purple);
    // Purple until unloaded: hiding behind another window changes nothing.
    mainWindow.OpenWindow(WindowId::SWOptions);
    mainWindow.OpenWindow(WindowId::About);
    QCOMPARE(about->Label6()->palette().color(QPalette::WindowText), purple);

    QTest::mouseClick(about->cmdOK(), Qt::LeftButton);
    QVERIFY(frame->isHidden());
    QVERIFY(mainWindow.childWindows().Loaded(WindowId::About) == nullptr);
    auto* reloaded =
        qobject_cast<FrmAbout*>(mainWindow.childWindows().Open(WindowId::About)->widget());
    QVERIFY(reloaded != about);
    QVERIFY(reloaded->Label6()->palette().color(QPalette::WindowText) != purple);
}

void TestSplashAbout::aboutPlacementKeepsCaptionReachable() {
    // Half the main window less half its own size, 1500 twips higher.
    QCOMPARE(FrmAbout::Position({433, 433}, {400, 220}, 96.0), QPoint(16, 6));
    QCOMPARE(FrmAbout::Position({1000, 800}, {400, 220}, 96.0), QPoint(300, 190));
    QCOMPARE(FrmAbout::Position({1000, 800}, {400, 220}, 192.0), QPoint(300, 90));
    QCOMPARE(FrmAbout::Position({300, 300}, {400, 220}, 96.0), QPoint(0, 0));
}

} // namespace qmt::app

QTEST_MAIN(qmt::app::TestSplashAbout)
#include "test_splash_about.moc"
