#include "app/frm_about.h"
#include "app/frm_main.h"
#include "app/frm_sw_options.h"
#include "app/placement_settings.h"
#include "app/support/app_world.h"
#include "app/termination_signals.h"
#include "app/twips.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>
#include <QtTest>
#include <csignal>

Q_DECLARE_METATYPE(qmt::app::Placement)

namespace qmt::app {

using test::AppWorld;

namespace {

QStringList Captions(const QWidget& owner) {
    QStringList captions;
    for (const QAction* action : owner.actions()) {
        if (!action->isSeparator()) {
            captions.append(action->text());
        }
    }
    return captions;
}

void Trigger(const FrmMain& mainWindow, const char* item) {
    mainWindow.findChild<QAction*>(QLatin1String(item))->trigger();
}

extern "C" void IgnoreSignal(int) {}

void (*CurrentHandler(int signalNumber))(int) {
    struct sigaction current {};
    sigaction(signalNumber, nullptr, &current);
    return current.sa_handler;
}

QColor LinkColour(const QWidget* about) {
    return qobject_cast<const FrmAbout*>(about)->Label6()->palette().color(QPalette::WindowText);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void menusToolbarAndStatusBar();
    void placementAtStart_data();
    void placementAtStart();
    void unloadStoresPlacement_data();
    void unloadStoresPlacement();
    void terminationSignalsCloseTheProgramInOrder();
    void childWindowsOpenOnce();
    void childWindowLargerThanTheAreaCanBeScrolledTo();
};

void TestMainWindow::menusToolbarAndStatusBar() {
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    const FrmMain& mainWindow = world.main();
    const std::vector<std::pair<const char*, QStringList>> menus = {
        {"", {"&File", "&View", "&Configuration", "&Window", "&About"}},
        {"mnuFile", {"&Save/Recall Configuration", "&Log Data to File"}},
        {"mnuDevice", {"&Register Map", "Gra&phing", "Li&mits, Interrupts"}},
        {"mnuConfig", {"&General Configuration", "&Software options"}},
        {"mnuMainAbout", {"A&bout the QMT6171/2/3 Software..."}}};
    for (const auto& [name, expected] : menus) {
        const QWidget* owner = mainWindow.menuBar();
        if (*name != '\0') {
            owner = mainWindow.findChild<QMenu*>(QLatin1String(name));
        }
        QCOMPARE(Captions(*owner), expected);
    }
    QStringList buttons;
    for (const QAction* button : mainWindow.tbToolBar()->actions()) {
        buttons.append(button->data().toString() + '|' + button->toolTip());
        QVERIFY(!button->icon().isNull());
    }
    QCOMPARE(buttons,
             (QStringList{"Save|Save/Recall Configuration", "Config|General Device Configuration",
                          "Graphs|Temperature/Fan graphs", "Tree|Register Map Tree",
                          "Limits|Interrupts/Limits", "Log|"}));
    QCOMPARE(mainWindow.StatusPanel(2)->text(),
             QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
}

void TestMainWindow::placementAtStart_data() {
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<Placement>("expected");
    const Placement defaults{1000, 1000, 6500, 6500};
    QTest::newRow("first start") << QStringList{} << defaults;
    QTest::newRow("real numbers") << QStringList{"3000.4", " 1500 ", "9e3", "7500"}
                                  << Placement{3000.4, 1500, 9000, 7500};
    QTest::newRow("not numbers") << QStringList{"left", "", "9000", "1e999"}
                                 << Placement{1000, 1000, 9000, 6500};
    QTest::newRow("no size") << QStringList{"3000", "1500", "0", "-7500"}
                             << Placement{3000, 1500, 6500, 6500};
    QTest::newRow("off every screen") << QStringList{"-90000", "1500", "9000", "7500"} << defaults;
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
             PlacementToPixels(expected, LogicalDpi(&mainWindow)));
}

void TestMainWindow::unloadStoresPlacement_data() {
    QTest::addColumn<Qt::WindowState>("state");
    QTest::newRow("normal") << Qt::WindowNoState;
    QTest::newRow("minimised") << Qt::WindowMinimized;
    QTest::newRow("maximised") << Qt::WindowMaximized;
}

void TestMainWindow::unloadStoresPlacement() {
    QFETCH(Qt::WindowState, state);
    const QStringList before{"3000", "1500", "9000", "7500"};
    AppWorld world;
    world.StoreSettings(before);
    QCOMPARE(world.RunMain(), std::nullopt);
    FrmMain& mainWindow = world.main();
    mainWindow.move(120, 90);
    mainWindow.resize(510, 420);
    mainWindow.setWindowState(state);
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow) || state == Qt::WindowMinimized);
    const QRect bounds(mainWindow.pos(), mainWindow.size());
    QVERIFY2(state != Qt::WindowMaximized || bounds.size() != QSize(510, 420), "not maximised");

    QVERIFY(mainWindow.close());

    QStringList expected = before;
    if (state != Qt::WindowMinimized) {
        const Placement placement = PlacementFromPixels(bounds, LogicalDpi(&mainWindow));
        expected.clear();
        for (double twips : {placement.left, placement.top, placement.width, placement.height}) {
            expected.append(QString::number(std::llround(twips)));
        }
    }
    QCOMPARE(world.StoredSettings(), expected);
}

void TestMainWindow::terminationSignalsCloseTheProgramInOrder() {
    std::signal(SIGINT, IgnoreSignal);
    std::signal(SIGTERM, SIG_DFL);
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    world.main().move(150, 75);
    std::vector<int> received;
    {
        const TerminationSignals signalHandling([&](int signalNumber) {
            received.push_back(signalNumber);
            world.app->CloseAllWindows();
        });
        QCOMPARE(std::raise(SIGINT), 0);
        QCOMPARE(std::raise(SIGTERM), 0);
        // Nothing happens inside the handlers; the event loop does the closing.
        QVERIFY(received.empty());
        QTRY_COMPARE(received, (std::vector{SIGINT, SIGTERM}));
    }
    QVERIFY(!world.main().isVisible());
    QCOMPARE(world.StoredSettings().mid(0, 2), (QStringList{"2250", "1125"}));
    // The handlers that were there before come back.
    QVERIFY(CurrentHandler(SIGINT) == &IgnoreSignal);
    QVERIFY(CurrentHandler(SIGTERM) == SIG_DFL);
}

void TestMainWindow::childWindowsOpenOnce() {
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    FrmMain& mainWindow = world.main();
    QMdiArea& area = *mainWindow.mdiArea();
    auto* windowMenu = mainWindow.findChild<QMenu*>(QStringLiteral("mnuWindow"));

    // Buttons and items of windows that do not exist yet open nothing, silently.
    for (QAction* button : mainWindow.tbToolBar()->actions()) {
        button->trigger();
    }
    for (const char* item :
         {"mnuSave", "mnuLog", "mnuRegMap", "mnuGraph", "mnuLimits", "mnuGeneralConfig"}) {
        Trigger(mainWindow, item);
    }
    QVERIFY(area.subWindowList().isEmpty() && world.messages.empty());

    // About is placed once, when loaded, from the main window's size.
    Trigger(mainWindow, "mnuAbout");
    QMdiSubWindow* about = area.activeSubWindow();
    QCOMPARE(about->pos(),
             FrmAbout::Position(mainWindow.size(), about->size(), LogicalDpi(&mainWindow)));
    about->move(30, 40);
    Trigger(mainWindow, "mnuAbout");
    QCOMPARE(area.subWindowList(), QList{about});
    QCOMPARE(about->pos(), QPoint(30, 40));
    // Centred 1500 twips high, but never beyond the area's top left corner.
    QCOMPARE(FrmAbout::Position({1000, 800}, {400, 220}, 192.0), QPoint(300, 90));
    QCOMPARE(FrmAbout::Position({300, 300}, {400, 220}, 96.0), QPoint(0, 0));
    // Its web address turns purple once clicked, until the window unloads.
    const QColor purple(128, 0, 128);
    QTest::mouseClick(qobject_cast<FrmAbout*>(about->widget())->Label6(), Qt::LeftButton);
    QCOMPARE(world.openedUrls, std::vector{FrmAbout::WebAddress()});

    // Re-opening a minimised window restores and raises it.
    Trigger(mainWindow, "mnuSoftware");
    auto* options = qobject_cast<FrmSWOptions*>(area.activeSubWindow()->widget());
    QVERIFY(options != nullptr);
    about->showMinimized();
    Trigger(mainWindow, "mnuAbout");
    QCOMPARE(area.activeSubWindow(), about);
    QVERIFY(!about->isMinimized());
    QCOMPARE(LinkColour(about->widget()), purple);
    emit windowMenu->aboutToShow();
    const QList<QAction*> entries = windowMenu->actions();
    QCOMPARE(entries[3]->text(), QStringLiteral("&1 About the  QMT6171/2/3 Software"));
    QVERIFY(entries[3]->isChecked() && !entries[4]->isChecked());
    entries[4]->trigger();
    QCOMPARE(area.activeSubWindow()->widget(), options);
    emit options->statusMessage(QStringLiteral("Intervals applied"));
    QCOMPARE(mainWindow.StatusPanel(1)->text(), QStringLiteral("Intervals applied"));

    // OK unloads; the next opening loads a new window.
    QPointer<QWidget> first = about->widget();
    QTest::mouseClick(qobject_cast<FrmAbout*>(first)->cmdOK(), Qt::LeftButton);
    QVERIFY(mainWindow.childWindows().Loaded(WindowId::About) == nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    mainWindow.OpenWindow(WindowId::About);
    QVERIFY(LinkColour(mainWindow.childWindows().Loaded(WindowId::About)) != purple);
    QCOMPARE(area.subWindowList().size(), 2);
}

void TestMainWindow::childWindowLargerThanTheAreaCanBeScrolledTo() {
    // A child window keeps its design size in a small main window; its
    // buttons must stay within reach.
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    FrmMain& mainWindow = world.main();
    mainWindow.resize(500, 300);
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    QMdiSubWindow* options = mainWindow.childWindows().Open(WindowId::SWOptions);
    QMdiArea& area = *mainWindow.mdiArea();
    QVERIFY(options->geometry().bottom() > area.viewport()->height());
    QTRY_VERIFY(area.verticalScrollBar()->isVisible());
    area.verticalScrollBar()->setValue(area.verticalScrollBar()->maximum());
    const auto* apply = qobject_cast<FrmSWOptions*>(options->widget())->cmdApply();
    const QPoint applyBottom = apply->mapTo(area.viewport(), QPoint(0, apply->height()));
    QVERIFY(applyBottom.y() <= area.viewport()->height());
}

} // namespace qmt::app

QTEST_MAIN(qmt::app::TestMainWindow)
#include "test_main_window.moc"
