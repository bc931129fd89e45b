#include "views/config/frm_config.h"
#include "views/twips.h"
#include "views/up_down.h"
#include "views/view_world.h"

namespace qmt::views {

namespace {

// A started program whose chip holds the given four registers, with the
// configuration window opened from its menu item.
struct ConfigWorld : test::ViewWorld {
    ConfigWorld(std::uint8_t config1, std::uint8_t rate, std::uint8_t config2,
                std::uint8_t hysteresis)
        : ViewWorld({{0x03, config1}, {0x04, rate}, {0x24, config2}, {0x21, hysteresis}}),
          window(Trigger<FrmConfig>("mnuGeneralConfig", shell::WindowId::Config)),
          frame(qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        Requests();
    }
    void Press(const char* button) { test::Click(window->findChild<QPushButton*>(button)); }
    bool Closed() {
        test::DeleteClosed();
        return frame.isNull();
    }

    FrmConfig* window;
    QPointer<QMdiSubWindow> frame;
};

} // namespace

class TestConfig : public QObject {
    Q_OBJECT

private slots:
    void loadShowsTheBitsAndApplyWritesThemBackInOrder();
    void applyChangesOnlyTheWindowsBits();
    void hysteresisEntries_data();
    void hysteresisEntries();
    void refusedHysteresisKeepsTheWindowOpenAndCancelWritesNothing();
    void reservedRateIsShownAndKept();
    void contentsFillTheWindow();
};

void TestConfig::loadShowsTheBitsAndApplyWritesThemBackInOrder() {
    ConfigWorld w(0xA5, 0x77, 0x7F, 10);
    FrmConfig& c = *w.window;
    QVERIFY(c.chkMaskAll()->isChecked());
    QVERIFY(!c.chkStandby()->isChecked());
    QCOMPARE(c.cmbPin8()->currentText(), QString("THERM2"));
    QVERIFY(c.chkExtRange()->isChecked());
    QVERIFY(!c.chkMaskR1()->isChecked());
    QVERIFY(c.chkMaskR2()->isChecked());
    QCOMPARE(c.cmbConvRate()->currentText(), QString("8 (125 ms)"));
    QCOMPARE(c.txtTHERMHyst()->text(), QString("10"));

    // Each register is read just before it is written; the write at 0x09
    // refreshes the program's copy of the range and channel bits.
    w.state().ExtendedRange = false;
    w.Press("cmdApply");
    QCOMPARE(w.Requests(),
             (QStringList{"R03", "W09=A5", "R03", "R04", "W0A=77", "R24", "W24=7F", "W21=0A"}));
    QVERIFY(w.state().ExtendedRange);
    QVERIFY(!w.Closed());

    // The arrows stop at 100.
    auto* upDown = c.findChild<views::UpDown*>("UpDown1");
    c.txtTHERMHyst()->setText("99");
    upDown->StepUp();
    upDown->StepUp();
    QCOMPARE(c.txtTHERMHyst()->text(), QString("100"));
}

void TestConfig::applyChangesOnlyTheWindowsBits() {
    ConfigWorld w(0x00, 0x07, 0x00, 10);
    FrmConfig& c = *w.window;
    c.chkMaskAll()->setChecked(true);
    c.chkR2onR1()->setChecked(true);
    c.cmbPin8()->setCurrentIndex(1);
    c.chkAveraging()->setChecked(true);
    c.cmbConvRate()->setCurrentIndex(c.cmbConvRate()->findText("Continuous"));
    c.chkLock()->setChecked(true);
    // Bits the window does not own, changed elsewhere after it loaded.
    w.chip()[0x03] = 0x10;
    w.chip()[0x04] = 0x77;
    w.chip()[0x24] = 0x05;
    w.Press("cmdApply");
    // Setting the lock: the hysteresis goes first, or the locked chip drops it.
    QCOMPARE(w.Requests(),
             (QStringList{"R03", "W09=B8", "R03", "R04", "W0A=FA", "R24", "W21=0A", "W24=85"}));
    QVERIFY(w.state().Remote2Selected);
    // A lock that was already set keeps the usual order.
    w.chip()[0x24] = 0x80;
    w.Press("cmdApply");
    QCOMPARE(w.Requests().mid(5), (QStringList{"R24", "W24=80", "W21=0A"}));

    c.chkMaskAll()->setChecked(false);
    c.chkR2onR1()->setChecked(false);
    c.cmbPin8()->setCurrentIndex(0);
    c.chkAveraging()->setChecked(false);
    c.chkLock()->setChecked(false);
    w.chip()[0x03] = 0xFF;
    w.chip()[0x04] = 0xFF;
    w.chip()[0x24] = 0xFF;
    w.Press("cmdApply");
    QCOMPARE(w.Requests(),
             (QStringList{"R03", "W09=10", "R03", "R04", "W0A=7A", "R24", "W24=7F", "W21=0A"}));
    QVERIFY(!w.state().Remote2Selected);
}

void TestConfig::hysteresisEntries_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written"); // empty: refused
    const auto row = [](const char* name, const char* text, const char* written) {
        QTest::newRow(name) << QString(text) << QString(written);
    };
    row("half to even down", "12.5", "W21=0C");
    row("half to even up", "13.5", "W21=0E");
    row("letters", "abc", "W21=00");
    row("above a byte", "300", "W21=FF");
    row("negative", "-1", "");
    row("beyond 32 bits", "1e10", "");
}

void TestConfig::hysteresisEntries() {
    QFETCH(QString, text);
    QFETCH(QString, written);
    ConfigWorld w(0x00, 0x08, 0x00, 10);
    w.window->txtTHERMHyst()->setText(text);
    w.Press("cmdApply");
    QCOMPARE(w.Requests().last(), written.isEmpty() ? QString("W24=00") : written);
    QCOMPARE(w.Status().startsWith("THERM Hysteresis not written"), written.isEmpty());
}

void TestConfig::refusedHysteresisKeepsTheWindowOpenAndCancelWritesNothing() {
    ConfigWorld w(0x00, 0x08, 0x00, 10);
    w.window->chkStandby()->setChecked(true);
    w.window->txtTHERMHyst()->setText("-5");
    w.Press("cmdOK");
    QCOMPARE(w.Requests(), (QStringList{"R03", "W09=40", "R03", "R04", "W0A=08", "R24", "W24=00"}));
    QCOMPARE(w.Status(), QString("THERM Hysteresis not written: the value is negative"));
    QVERIFY(!w.Closed());
    w.window->txtTHERMHyst()->setText("20");
    w.Press("cmdOK");
    QCOMPARE(w.Requests().last(), QString("W21=14"));
    QVERIFY(w.Closed());

    ConfigWorld cancel(0x00, 0x08, 0x00, 10);
    cancel.window->chkStandby()->setChecked(true);
    cancel.Press("cmdCancel");
    QVERIFY(cancel.Closed());
    QCOMPARE(cancel.Requests(), QStringList());
}

void TestConfig::reservedRateIsShownAndKept() {
    ConfigWorld w(0x00, 0x8C, 0x00, 10);
    QCOMPARE(w.window->cmbConvRate()->currentText(), QString("Reserved (code 12)"));
    QVERIFY(w.window->chkAveraging()->isChecked());
    w.Press("cmdApply");
    QVERIFY(w.Requests().contains("W0A=8C"));
}

// At its design size the window's contents reach its foot: the buttons end a
// margin above the window's bottom and the last settings a margin above the
// frame's.
void TestConfig::contentsFillTheWindow() {
    ConfigWorld w(0, 0, 0, 0);
    FrmConfig& c = *w.window;
    QCOMPARE(OuterWindow(c).size(),
             TwipsToPixels(&c, FrmConfig::WidthTwips, FrmConfig::HeightTwips));
    const auto gapBelow = [](const QWidget& last) {
        const QWidget& container = *last.parentWidget();
        return container.contentsRect().bottom() - last.geometry().bottom() -
               container.layout()->contentsMargins().bottom();
    };
    QCOMPARE(gapBelow(*c.findChild<QPushButton*>("cmdOK")), 0);
    QCOMPARE(gapBelow(*c.chkLock()), 0);
    QCOMPARE(gapBelow(*c.chkAveraging()), 0);
}

} // namespace qmt::views

QTEST_MAIN(qmt::views::TestConfig)
#include "test_config.moc"
