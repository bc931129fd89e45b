#include "app/frm_about.h"
#include "app/frm_main.h"
#include "app/frm_sw_options.h"
#include "app/placement_settings.h"
#include "app/support/app_world.h"
#include "app/twips.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace qmt::app {

using test::AppWorld;

namespace {

QStringList Captions(const QList<QAction*>& actions) {
    QStringList captions;
    for (const QAction* action : actions) {
        if (!action->isSeparator()) {
            captions.append(action->text());
        }
    }
    return captions;
}

QAction* MenuAction(const FrmMain& mainWindow, const char* name) {
    return mainWindow.findChild<QAction*>(QLatin1String(name));
}

QRect TwipsRect(const QWidget& widget, double left, double top, double width, double height) {
    return PlacementToPixels({left, top, width, height}, LogicalDpi(&widget));
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
    void childWindowsOpenOnce();
    void windowMenuListsOpenWindows();
    void childWindowLargerThanTheAreaCanBeScrolledTo();
};

void TestMainWindow::menusToolbarAndStatusBar() {
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    const FrmMain& mainWindow = world.main();

    QCOMPARE(Captions(mainWindow.menuBar()->actions()),
             (QStringList{"&File", "&View", "&Configuration", "&Window", "&About"}));
    const auto items = [&mainWindow](const char* menu) {
        return Captions(mainWindow.findChild<QMenu*>(QLatin1String(menu))->actions());
    };
    QCOMPARE(items("mnuFile"), (QStringList{"&Save/Recall Configuration", "&Log Data to File"}));
    QCOMPARE(items("mnuDevice"),
             (QStringList{"&Register Map", "Gra&phing", "Li&mits, Interrupts"}));
    QCOMPARE(items("mnuConfig"), (QStringList{"&General Configuration", "&Software options"}));
    QCOMPARE(items("mnuMainAbout"), QStringList{"A&bout the QMT6171/2/3 Software..."});
    QCOMPARE(MenuAction(mainWindow, "mnuAbout")->text(),
             QStringLiteral("A&bout the QMT6171/2/3 Software..."));

    const QList<QAction*> buttons = mainWindow.tbToolBar()->actions();
    QStringList keys;
    QStringList tips;
    for (QAction* button : buttons) {
        keys.append(button->data().toString());
        tips.append(button->toolTip());
        QVERIFY(!button->icon().isNull());
        const auto* toolButton =
            qobject_cast<QToolButton*>(mainWindow.tbToolBar()->widgetForAction(button));
        QVERIFY(toolButton != nullptr);
        QCOMPARE(toolButton->toolTip(), button->toolTip());
    }
    QCOMPARE(keys, (QStringList{"Save", "Config", "Graphs", "Tree", "Limits", "Log"}));
    QCOMPARE(tips,
             (QStringList{"Save/Recall Configuration", "General Device Configuration",
                          "Temperature/Fan graphs", "Register Map Tree", "Interrupts/Limits", ""}));

    QCOMPARE(mainWindow.statusBar()->objectName(), QStringLiteral("sbStatusBar"));
    QCOMPARE(mainWindow.StatusPanel(2)->text(),
             QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    QVERIFY(!mainWindow.StatusPanel(3)->text().isEmpty());

    AppWorld fresh;
    fresh.app->CreateMainWindow();
    QCOMPARE(fresh.main().StatusPanel(1)->text(), QStringLiteral("Status"));
    QVERIFY(!fresh.main().tmrMaster().isActive());
}

void TestMainWindow::placementAtStart_data() {
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QList<double>>("expectedTwips");
    const QList<double> defaults{1000, 1000, 6500, 6500};
    QTest::newRow("first start") << QStringList{} << defaults;
    QTest::newRow("stored") << QStringList{"3000", "1500", "9000", "7500"}
                            << QList<double>{3000, 1500, 9000, 7500};
    QTest::newRow("real numbers") << QStringList{"3000.4", " 1500 ", "9e3", "7500"}
                                  << QList<double>{3000.4, 1500, 9000, 7500};
    QTest::newRow("not numbers") << QStringList{"left", "", "9000", "1e999"}
                                 << QList<double>{1000, 1000, 9000, 6500};
    QTest::newRow("no size") << QStringList{"3000", "1500", "0", "-7500"}
                             << QList<double>{3000, 1500, 6500, 6500};
    QTest::newRow("off every screen") << QStringList{"-90000", "1500", "9000", "7500"} << defaults;
    QTest::newRow("below every screen")
        << QStringList{"3000", "900000", "9000", "7500"} << defaults;
}

void TestMainWindow::placementAtStart() {
    QFETCH(QStringList, stored);
    QFETCH(QList<double>, expectedTwips);
    AppWorld world;
    if (!stored.isEmpty()) {
        world.StoreSettings(stored);
    }
    QCOMPARE(world.RunMain(), std::nullopt);
    const FrmMain& mainWindow = world.main();
    const QRect expected = TwipsRect(mainWindow, expectedTwips[0], expectedTwips[1],
                                     expectedTwips[2], expectedTwips[3]);
    QCOMPARE(QRect(mainWindow.pos(), mainWindow.size()), expected);
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
    if (state == Qt::WindowMaximized) {
        QVERIFY2(bounds.size() != QSize(510, 420), "the window did not maximise");
    }

    QVERIFY(mainWindow.close());

    if (state == Qt::WindowMinimized) {
        QCOMPARE(world.StoredSettings(), before);
        return;
    }
    const Placement placement = PlacementFromPixels(bounds, LogicalDpi(&mainWindow));
    const QStringList expected{QString::number(std::llround(placement.left)),
                               QString::number(std::llround(placement.top)),
                               QString::number(std::llround(placement.width)),
                               QString::number(std::llround(placement.height))};
    QCOMPARE(world.StoredSettings(), expected);
}

void TestMainWindow::childWindowsOpenOnce() {
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    FrmMain& mainWindow = world.main();
    QMdiArea& area = *mainWindow.mdiArea();

    // Buttons and items of windows that do not exist yet open nothing, silently.
    for (QAction* button : mainWindow.tbToolBar()->actions()) {
        button->trigger();
    }
    for (const char* item :
         {"mnuSave", "mnuLog", "mnuRegMap", "mnuGraph", "mnuLimits", "mnuGeneralConfig"}) {
        MenuAction(mainWindow, item)->trigger();
    }
    QVERIFY(area.subWindowList().isEmpty());
    QVERIFY(world.messages.empty());

    // About: placed once, when loaded, from the main window's size.
    MenuAction(mainWindow, "mnuAbout")->trigger();
    QCOMPARE(area.subWindowList().size(), 1);
    QMdiSubWindow* about = area.subWindowList().constFirst();
    QCOMPARE(about->size(),
             TwipsToPixels(&mainWindow, FrmAbout::WidthTwips, FrmAbout::HeightTwips));
    QCOMPARE(about->pos(),
             FrmAbout::Position(mainWindow.size(), about->size(), LogicalDpi(&mainWindow)));
    about->move(30, 40);
    MenuAction(mainWindow, "mnuAbout")->trigger();
    QCOMPARE(area.subWindowList().size(), 1);
    QCOMPARE(area.subWindowList().constFirst(), about);
    QCOMPARE(about->pos(), QPoint(30, 40));

    // The options window through its menu item; its notes reach status panel 1.
    MenuAction(mainWindow, "mnuSoftware")->trigger();
    auto* options =
        qobject_cast<FrmSWOptions*>(mainWindow.childWindows().Loaded(WindowId::SWOptions));
    QVERIFY(options != nullptr);
    QCOMPARE(area.activeSubWindow()->widget(), options);
    about->showMinimized();
    MenuAction(mainWindow, "mnuAbout")->trigger();
    QCOMPARE(area.activeSubWindow(), about);
    QVERIFY(!about->isMinimized());
    QCOMPARE(area.subWindowList().size(), 2);
    emit options->statusMessage(QStringLiteral("Intervals applied"));
    QCOMPARE(mainWindow.StatusPanel(1)->text(), QStringLiteral("Intervals applied"));

    // Closing unloads; the next opening loads a new window.
    QPointer<QWidget> firstAbout = about->widget();
    about->close();
    QVERIFY(mainWindow.childWindows().Loaded(WindowId::About) == nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(firstAbout.isNull());
    mainWindow.OpenWindow(WindowId::About);
    QVERIFY(mainWindow.childWindows().Loaded(WindowId::About) != nullptr);
    QCOMPARE(area.subWindowList().size(), 2);
}

void TestMainWindow::windowMenuListsOpenWindows() {
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    FrmMain& mainWindow = world.main();
    auto* windowMenu = mainWindow.findChild<QMenu*>(QStringLiteral("mnuWindow"));

    emit windowMenu->aboutToShow();
    QCOMPARE(Captions(windowMenu->actions()), (QStringList{"&Tile", "&Cascade"}));
    QVERIFY(!windowMenu->actions().constFirst()->isEnabled());

    mainWindow.OpenWindow(WindowId::About);
    mainWindow.OpenWindow(WindowId::SWOptions);
    emit windowMenu->aboutToShow();
    const QList<QAction*> entries = windowMenu->actions();
    QCOMPARE(entries.size(), 5);
    QCOMPARE(entries[3]->text(), QStringLiteral("&1 About the  QMT6171/2/3 Software"));
    QVERIFY(!entries[3]->isChecked());
    QVERIFY(entries[4]->isChecked());
    entries[3]->trigger();
    QCOMPARE(mainWindow.mdiArea()->activeSubWindow()->widget(),
             mainWindow.childWindows().Loaded(WindowId::About));
}

void TestMainWindow::childWindowLargerThanTheAreaCanBeScrolledTo() {
    // A child window has its design size whatever the main window's; in a
    // main window made small its buttons must stay within reach.
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
