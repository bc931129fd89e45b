#include "app/support/app_world.h"
#include "shell/frm_about.h"
#include "shell/frm_main.h"
#include "shell/placement_settings.h"
#include "shell/scripted_actions.h"
#include "shell/termination_signals.h"
#include "views/compare/frm_compare.h"
#include "views/twips.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>
#include <csignal>

Q_DECLARE_METATYPE(qmt::shell::Placement)

namespace qmt::shell {

using test::AppWorld;

namespace {

QAction* Item(const FrmMain& mainWindow, const char* name) {
    return mainWindow.findChild<QAction*>(QLatin1String(name));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void placementAtStart_data();
    void placementAtStart();
    void unloadWhileMinimisedStoresNothing();
    void childWindowsOpenOnce();
    void fitInside_data();
    void fitInside();
    void childWindowsOpenInView();
    void terminationSignalsCloseInOrder();
    void clockPanelsShowTheDateAndTime();
};

void TestMainWindow::placementAtStart_data() {
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<Placement>("expected");
    const Placement defaults{1000, 1000, 6500, 6500};
    QTest::newRow("first start") << QStringList{} << defaults;
    QTest::newRow("real numbers") << QStringList{"3000.4", " 1500 ", "9e3", "7500"}
                                  << Placement{3000.4, 1500, 9000, 7500};
    QTest::newRow("garbage") << QStringList{"left", "1500", "9000", "-7500"}
                             << Placement{1000, 1500, 9000, 6500};
    QTest::newRow("off every screen") << QStringList{"-90000", "1500", "9000", "7500"} << defaults;
    // Cut down to the 800 × 800 offscreen screen.
    QTest::newRow("larger than every screen")
        << QStringList{"0", "15", "999999", "999999"} << Placement{0, 15, 12000, 12000};
}

void TestMainWindow::placementAtStart() {
    QFETCH(QStringList, stored);
    QFETCH(Placement, expected);
    AppWorld world;
    if (!stored.isEmpty()) {
        world.StoreSettings(stored);
    }
    QCOMPARE(world.RunMain(), std::nullopt);
    const FrmMain& mainWindow = world.main();
    QCOMPARE(QRect(mainWindow.pos(), mainWindow.size()),
             PlacementToPixels(expected, views::LogicalDpi(&mainWindow)));
}

// A minimised window's bounds are no placement: the stored one is kept.
void TestMainWindow::unloadWhileMinimisedStoresNothing() {
    const QStringList before{"3000", "1500", "9000", "7500"};
    AppWorld world;
    world.StoreSettings(before);
    QCOMPARE(world.RunMain(), std::nullopt);
    world.main().move(120, 90);
    world.main().setWindowState(Qt::WindowMinimized);
    QVERIFY(world.main().close());
    QCOMPARE(world.StoredSettings(), before);
}

// Each menu item (run as a scripted step) and toolbar button opens a window of
// its own, the toolbar's the same as its menu item's; a second press, even on a
// minimised window, restores the same one where it was.
void TestMainWindow::childWindowsOpenOnce() {
    QCOMPARE(ScriptedActions::Steps(" mnuSoftware ; ;txtReadInt=250 ms;cmdApply;"),
             (QStringList{"mnuSoftware", "txtReadInt=250 ms", "cmdApply"}));
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    FrmMain& mainWindow = world.main();
    QMdiArea& area = *mainWindow.mdiArea();
    // Scripted steps run once the event loop does, one after the other.
    ScriptedActions::Play(mainWindow, {"mnuSoftware", "txtReadInt=250", "cmdApply"});
    QVERIFY(mainWindow.childWindows().Loaded(WindowId::SWOptions) == nullptr);
    QTRY_COMPARE(world.app->state().ReadingInterval, 250);
    QVERIFY(!ScriptedActions::RunStep(mainWindow, "cmdNothing"));
    QVERIFY(!ScriptedActions::RunStep(mainWindow, "txtNothing=1"));

    const std::pair<const char*, const char*> itemAndButton[] = {
        {"mnuSave", "Save"},       {"mnuLog", "Log"},        {"mnuRegMap", "Tree"},
        {"mnuGraph", "Graphs"},    {"mnuLimits", "Limits"},  {"mnuGeneralConfig", "Config"},
        {"mnuCompare", "Compare"}, {"mnuSoftware", nullptr}, {"mnuAbout", nullptr}};
    QSet<const QWidget*> windows;
    for (const auto& [item, button] : itemAndButton) {
        QVERIFY(ScriptedActions::RunStep(mainWindow, item));
        const QWidget* window = area.activeSubWindow()->widget();
        QVERIFY2(window != nullptr && !windows.contains(window), item);
        windows.insert(window);
        if (button != nullptr) {
            Item(mainWindow, button)->trigger();
            QCOMPARE(area.activeSubWindow()->widget(), window);
        }
    }
    QCOMPARE(area.subWindowList().size(), qsizetype{9});
    QVERIFY(world.messages.empty());

    // About is placed once, when loaded; OK unloads it.
    QMdiSubWindow* about = area.activeSubWindow();
    QCOMPARE(about->pos(),
             FrmAbout::Position(mainWindow.size(), about->size(), views::LogicalDpi(&mainWindow)));
    about->move(30, 40);
    about->showMinimized();
    Item(mainWindow, "mnuSoftware")->trigger();
    Item(mainWindow, "mnuAbout")->trigger();
    QCOMPARE(area.activeSubWindow(), about);
    QVERIFY(!about->isMinimized());
    QCOMPARE(about->pos(), QPoint(30, 40));
    QTest::mouseClick(qobject_cast<FrmAbout*>(about->widget())->cmdOK(), Qt::LeftButton);
    QVERIFY(mainWindow.childWindows().Loaded(WindowId::About) == nullptr);
}

void TestMainWindow::fitInside_data() {
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("expected");
    // The area is 400 × 300 at (10, 20).
    QTest::newRow("inside") << QRect(50, 60, 100, 100) << QRect(50, 60, 100, 100);
    QTest::newRow("touching the far edges")
        << QRect(310, 220, 100, 100) << QRect(310, 220, 100, 100);
    QTest::newRow("past the right") << QRect(350, 60, 100, 100) << QRect(310, 60, 100, 100);
    QTest::newRow("past the bottom") << QRect(50, 250, 100, 100) << QRect(50, 220, 100, 100);
    QTest::newRow("past both") << QRect(390, 290, 100, 100) << QRect(310, 220, 100, 100);
    QTest::newRow("wider than the area") << QRect(50, 60, 500, 100) << QRect(10, 60, 500, 100);
    QTest::newRow("larger than the area") << QRect(50, 60, 500, 400) << QRect(10, 20, 500, 400);
}

void TestMainWindow::fitInside() {
    QFETCH(QRect, frame);
    QFETCH(QRect, expected);
    QCOMPARE(FitInside(frame, QRect(10, 20, 400, 300)), expected);
}

// Compare, the largest window, opens wholly inside a main window just large
// enough to hold it, though other windows already take the area's top-left.
void TestMainWindow::childWindowsOpenInView() {
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    FrmMain& mainWindow = world.main();
    QMdiArea& area = *mainWindow.mdiArea();
    const QSize compare = views::TwipsToPixels(&mainWindow, views::FrmCompare::WidthTwips,
                                               views::FrmCompare::HeightTwips);
    mainWindow.resize(mainWindow.size() - area.viewport()->size() + compare + QSize(40, 40));
    QCoreApplication::processEvents();
    for (const WindowId id : {WindowId::Config, WindowId::Limits, WindowId::Compare}) {
        const QMdiSubWindow* frame = mainWindow.childWindows().Open(id);
        QVERIFY(frame != nullptr);
        QVERIFY2(area.viewport()->rect().contains(frame->geometry()),
                 qPrintable(QStringLiteral("%1 at %2,%3")
                                .arg(frame->widget()->metaObject()->className())
                                .arg(frame->x())
                                .arg(frame->y())));
    }
}

// The placement stored on the way out is the Interrupt scenario's.
void TestMainWindow::terminationSignalsCloseInOrder() {
    std::signal(SIGTERM, SIG_DFL);
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    std::vector<int> received;
    {
        const TerminationSignals signalHandling([&](int signalNumber) {
            received.push_back(signalNumber);
            world.shell->CloseAllWindows();
        });
        QCOMPARE(std::raise(SIGTERM), 0);
        // Nothing happens inside the handler; the event loop does the closing.
        QVERIFY(received.empty());
        QTRY_COMPARE(received, std::vector{SIGTERM});
    }
    QVERIFY(!world.main().isVisible());
    QVERIFY(std::signal(SIGTERM, SIG_DFL) == SIG_DFL); // the default handler is back
}

// The clock panels look their formats up once: what they show is still the
// locale's short date and time.
void TestMainWindow::clockPanelsShowTheDateAndTime() {
    AppWorld world;
    const QDateTime before = QDateTime::currentDateTime();
    QCOMPARE(world.RunMain(), std::nullopt);
    const QDateTime after = QDateTime::currentDateTime();
    const QLocale locale;
    QVERIFY(QStringList({locale.toString(before.date(), QLocale::ShortFormat),
                         locale.toString(after.date(), QLocale::ShortFormat)})
                .contains(world.main().StatusPanel(2)->text()));
    QVERIFY(QStringList({locale.toString(before.time(), QLocale::ShortFormat),
                         locale.toString(after.time(), QLocale::ShortFormat)})
                .contains(world.main().StatusPanel(3)->text()));
}

} // namespace qmt::shell

QTEST_MAIN(qmt::shell::TestMainWindow)
#include "test_main_window.moc"
