#include "app/support/app_world.h"
#include "shell/frm_main.h"
#include "shell/frm_sw_options.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace qmt::shell {

namespace {

constexpr std::int32_t Rejected = -1;

void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class TestSWOptions : public QObject {
    Q_OBJECT

private slots:
    void parseInterval();
    void applyTakesValidBoxesAndRejectsTheRest();
};

void TestSWOptions::parseInterval() {
    const views::IntervalField reading = views::IntervalField::Reading;
    const views::IntervalField graphing = views::IntervalField::Graphing;
    // 12.5 and 13.5 round half to even.
    const std::tuple<const char*, views::IntervalField, int> cases[] = {
        {"\t1 000", reading, 1000},      {"", graphing, 0},
        {"12.5", reading, 12},           {"13.5", reading, 14},
        {"32767", graphing, 32767},      {"32768", graphing, Rejected},
        {"32767.5", graphing, Rejected}, {"2147483648", reading, Rejected},
        {"1e400", reading, Rejected},    {"-10", reading, Rejected}};
    for (const auto& [text, field, expected] : cases) {
        QVERIFY2(views::ParseInterval(text, field).value_or(Rejected) == expected, text);
    }
}

// Apply takes the valid boxes and marks the rest; the note of the rejected
// ones lasts only while an entry is rejected.
void TestSWOptions::applyTakesValidBoxesAndRejectsTheRest() {
    test::AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    FrmMain& main = world.main();
    const GeneralStuff& state = world.app->state();
    QLabel* panel = main.StatusPanel(1);
    const QString before = panel->text();
    const std::int32_t logging = state.LoggingInterval;
    const auto open = [&] {
        main.OpenWindow(WindowId::SWOptions);
        return qobject_cast<FrmSWOptions*>(main.childWindows().Loaded(WindowId::SWOptions));
    };
    FrmSWOptions* window = open();
    QVERIFY(window != nullptr);
    window->chkMonitoring()->setChecked(false);
    window->txtReadInt()->setText("250ms");
    window->txtGraphing()->setText("40000");
    window->txtLogging()->setText("-5");
    Click(window->cmdApply());
    QVERIFY(!state.ContinuousReading);
    QCOMPARE(state.ReadingInterval, 250);
    QCOMPARE(state.GraphingInterval, std::int16_t{50});
    QCOMPARE(state.LoggingInterval, logging);
    QVERIFY(FrmSWOptions::IsMarkedInvalid(window->txtGraphing()));
    QVERIFY(FrmSWOptions::IsMarkedInvalid(window->txtLogging()));
    QCOMPARE(panel->text(), QString("Logging interval must be 0 to 2147483647 ms; "
                                    "Graphing interval must be 0 to 32767 ms"));
    QCOMPARE(panel->toolTip(), panel->text());
    Click(window->cmdApply()); // a second rejection still restores the first text

    // Editing clears a mark at once; a valid Apply clears the marks it was
    // given no edit for, and the note.
    QTest::keyClick(window->txtLogging(), Qt::Key_Backspace);
    QVERIFY(!FrmSWOptions::IsMarkedInvalid(window->txtLogging()));
    {
        const QSignalBlocker quiet(window->txtGraphing());
        window->txtGraphing()->setText("");
    }
    // Typing beyond the arrows' range is applied as is.
    window->txtReadInt()->setText("20000");
    Click(window->cmdApply());
    QVERIFY(!FrmSWOptions::IsMarkedInvalid(window->txtGraphing()));
    QCOMPARE(state.GraphingInterval, std::int16_t{0});
    QCOMPARE(state.ReadingInterval, 20000);
    QCOMPARE(panel->text(), before);

    // Closing the window withdraws the note too, but never what came after it;
    // it drops what was not applied and unloads the window.
    window->txtGraphing()->setText("40000");
    Click(window->cmdApply());
    window->txtReadInt()->setText("999");
    Click(window->cmdCancel());
    QCOMPARE(panel->text(), before);
    QCOMPARE(state.ReadingInterval, 20000);
    QVERIFY(main.childWindows().Loaded(WindowId::SWOptions) == nullptr);
    window = open();
    window->txtGraphing()->setText("40000");
    Click(window->cmdApply());
    main.ShowStatusText("Logging to a.csv");
    Click(window->cmdCancel());
    QCOMPARE(panel->text(), QString("Logging to a.csv"));
}

} // namespace qmt::shell

QTEST_MAIN(qmt::shell::TestSWOptions)
#include "test_sw_options.moc"
