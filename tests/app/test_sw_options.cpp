#include "app/frm_sw_options.h"
#include "app/twips.h"
#include "app/up_down.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

namespace qmt::app {

namespace {

constexpr std::int32_t Rejected = -1;

void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

void DeleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestSWOptions : public QObject {
    Q_OBJECT

private slots:
    void parseInterval_data();
    void parseInterval();
    void windowTextsSizeAndLoad();
    void applyTakesValidBoxesAndRejectsTheRest();
    void closeDropsUnappliedValuesAndUnloads();
    void upDownStepsByTenWithinItsRange();
};

void TestSWOptions::parseInterval_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("expected");
    const int reading = static_cast<int>(IntervalField::Reading);
    const int graphing = static_cast<int>(IntervalField::Graphing);
    QTest::newRow("unit after number") << "250ms" << reading << 250;
    QTest::newRow("blanks and tabs inside") << "\t1 000" << reading << 1000;
    QTest::newRow("empty") << "" << graphing << 0;
    QTest::newRow("letters only") << "fast" << graphing << 0;
    QTest::newRow("half to even down") << "12.5" << reading << 12;
    QTest::newRow("half to even up") << "13.5" << reading << 14;
    QTest::newRow("minus half is zero") << "-0.5" << reading << 0;
    QTest::newRow("graphing largest") << "32767" << graphing << 32767;
    QTest::newRow("graphing too large") << "32768" << graphing << Rejected;
    QTest::newRow("graphing rounds past") << "32767.5" << graphing << Rejected;
    QTest::newRow("reading largest") << "2147483647" << reading << 2147483647;
    QTest::newRow("reading too large") << "2147483648" << reading << Rejected;
    QTest::newRow("huge") << "1e400" << reading << Rejected;
    QTest::newRow("negative") << "-10" << reading << Rejected;
}

void TestSWOptions::parseInterval() {
    QFETCH(QString, text);
    QFETCH(int, field);
    QFETCH(int, expected);
    const auto value = ParseInterval(text.toStdString(), static_cast<IntervalField>(field));
    QCOMPARE(value.value_or(Rejected), expected);
}

void TestSWOptions::windowTextsSizeAndLoad() {
    GeneralStuff state;
    state.GraphingInterval = 32767;
    state.LoggingInterval = 123456;
    state.ContinuousReading = false;
    FrmSWOptions window(state);
    const auto text = [&](const char* name) {
        auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
        return label ? label->text() : QString();
    };
    QCOMPARE(window.windowTitle(), QString("Options"));
    QCOMPARE(text("Label1"), QString("Reading Interval (ms)"));
    QCOMPARE(text("Label2"), QString("Graphing Interval (ms)"));
    QCOMPARE(text("Label3"), QString("Logging Interval (ms)"));
    QCOMPARE(text("lblMonitoring"),
             QString("Enable continuous reading (graphing, interrupts data logging)"));
    QCOMPARE(window.cmdApply()->text(), QString("Apply"));
    QCOMPARE(window.cmdCancel()->text(), QString("Close"));
    QCOMPARE(window.txtReadInt()->text(), QString("100"));
    QCOMPARE(window.txtGraphing()->text(), QString("32767"));
    QCOMPARE(window.txtLogging()->text(), QString("123456"));
    QVERIFY(!window.chkMonitoring()->isChecked());

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), TwipsToPixels(&window, 4800, 4455));
    // The caption toggles the check box like the box itself.
    QTest::mouseClick(window.findChild<QLabel*>("lblMonitoring"), Qt::LeftButton);
    QVERIFY(window.chkMonitoring()->isChecked());
}

void TestSWOptions::applyTakesValidBoxesAndRejectsTheRest() {
    GeneralStuff state;
    FrmSWOptions window(state);
    QSignalSpy messages(&window, &FrmSWOptions::statusMessage);
    window.chkMonitoring()->setChecked(false);
    window.txtReadInt()->setText("250ms");
    window.txtGraphing()->setText("40000");
    window.txtLogging()->setText("-5");
    Click(window.cmdApply());

    QVERIFY(!state.ContinuousReading);
    QCOMPARE(state.ReadingInterval, 250);
    QCOMPARE(state.GraphingInterval, std::int16_t{50});
    QCOMPARE(state.LoggingInterval, 100);
    QCOMPARE(window.txtReadInt()->text(), QString("250ms"));
    QCOMPARE(window.txtGraphing()->text(), QString("40000"));
    QVERIFY(!FrmSWOptions::IsMarkedInvalid(window.txtReadInt()));
    QVERIFY(FrmSWOptions::IsMarkedInvalid(window.txtGraphing()));
    QVERIFY(FrmSWOptions::IsMarkedInvalid(window.txtLogging()));
    QCOMPARE(messages.count(), 1);
    const QString message = messages.at(0).at(0).toString();
    QVERIFY2(message.contains("Graphing interval must be 0 to 32767 ms"), qPrintable(message));
    QVERIFY2(message.contains("Logging interval must be 0 to 2147483647 ms"), qPrintable(message));

    // Editing clears a mark at once; a valid Apply clears the marks it was
    // given no edit for.
    QTest::keyClick(window.txtLogging(), Qt::Key_Backspace);
    QVERIFY(!FrmSWOptions::IsMarkedInvalid(window.txtLogging()));
    window.txtGraphing()->blockSignals(true);
    window.txtGraphing()->setText("");
    window.txtGraphing()->blockSignals(false);
    Click(window.cmdApply());
    QVERIFY(!FrmSWOptions::IsMarkedInvalid(window.txtGraphing()));
    QCOMPARE(state.GraphingInterval, std::int16_t{0});
    QCOMPARE(messages.count(), 1);
}

void TestSWOptions::closeDropsUnappliedValuesAndUnloads() {
    GeneralStuff state;
    QPointer<FrmSWOptions> alone = new FrmSWOptions(state);
    alone->show();
    alone->txtReadInt()->setText("999");
    alone->chkMonitoring()->setChecked(false);
    Click(alone->cmdCancel());
    DeleteClosedWindows();
    QVERIFY(alone.isNull());
    QCOMPARE(state.ReadingInterval, 100);
    QVERIFY(state.ContinuousReading);

    // Inside the main window the child frame has the design size and closes too.
    QMdiArea area;
    area.resize(800, 600);
    auto* window = new FrmSWOptions(state);
    QPointer<QMdiSubWindow> frame = area.addSubWindow(window);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    QCOMPARE(frame->size(), TwipsToPixels(window, 4800, 4455));
    Click(window->cmdCancel());
    DeleteClosedWindows();
    QVERIFY(frame.isNull());
    QVERIFY(area.subWindowList().isEmpty());
}

void TestSWOptions::upDownStepsByTenWithinItsRange() {
    GeneralStuff state;
    FrmSWOptions window(state);
    const auto upDown = [&](const char* name) {
        return window.findChild<UpDown*>(QString::fromLatin1(name));
    };
    const auto step = [&](const char* name, const QString& from, bool up) {
        QLineEdit& box = upDown(name)->buddy();
        box.setText(from);
        Click(up ? upDown(name)->upButton() : upDown(name)->downButton());
        return box.text();
    };
    QCOMPARE(step("UpDown1", "100", true), QString("110"));
    QCOMPARE(step("UpDown1", "100", false), QString("90"));
    QCOMPARE(step("UpDown1", "15", false), QString("10"));
    QCOMPARE(step("UpDown1", "", true), QString("10"));
    QCOMPARE(step("UpDown2", "9995", true), QString("10000"));
    QCOMPARE(step("UpDown2", "1e30", false), QString("10000"));
    QCOMPARE(step("UpDown3", "55", false), QString("50"));
    QCOMPARE(step("UpDown3", "12.5", true), QString("50"));
    // The arrows change only the box; typing beyond their range is applied as is.
    QCOMPARE(state.LoggingInterval, 100);
    window.txtReadInt()->setText("20000");
    window.txtGraphing()->setText("5");
    Click(window.cmdApply());
    QCOMPARE(state.ReadingInterval, 20000);
    QCOMPARE(state.GraphingInterval, std::int16_t{5});
    QCOMPARE(state.LoggingInterval, 50);
}

} // namespace qmt::app

QTEST_MAIN(qmt::app::TestSWOptions)
#include "test_sw_options.moc"
