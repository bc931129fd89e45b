#include "app/frm_main.h"
#include "app/scripted_actions.h"
#include "app/support/app_world.h"

#include <QLineEdit>
#include <QtTest>

namespace qmt::app {

using test::AppWorld;

class TestScriptedActions : public QObject {
    Q_OBJECT

private slots:
    void stepsActAsAUserWould();
};

void TestScriptedActions::stepsActAsAUserWould() {
    QCOMPARE(ScriptedActions::Steps(" mnuSoftware ; ;txtReadInt=250 ms;cmdApply;"),
             (QStringList{"mnuSoftware", "txtReadInt=250 ms", "cmdApply"}));
    AppWorld world;
    QCOMPARE(world.RunMain(), std::nullopt);
    FrmMain& mainWindow = world.main();
    // Nothing runs before the event loop does, then one step after the other.
    ScriptedActions::Play(mainWindow, {"mnuSoftware", "txtReadInt=250", "cmdApply"});
    QVERIFY(mainWindow.childWindows().Loaded(WindowId::SWOptions) == nullptr);
    QTRY_COMPARE(world.app->state().ReadingInterval, 250);

    // Enter in a box applies it as the user's Enter does; an unknown name is no step.
    QVERIFY(ScriptedActions::RunStep(mainWindow, "txtReadInt=300"));
    QCOMPARE(mainWindow.findChild<QLineEdit*>("txtReadInt")->text(), QString("300"));
    QVERIFY(!ScriptedActions::RunStep(mainWindow, "cmdNothing"));
    QVERIFY(!ScriptedActions::RunStep(mainWindow, "txtNothing=1"));
}

} // namespace qmt::app

QTEST_MAIN(qmt::app::TestScriptedActions)
#include "test_scripted_actions.moc"
