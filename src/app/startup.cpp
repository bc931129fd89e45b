#include "app/startup.h"

#include "app/application.h"
#include "app/frm_main.h"
#include "app/frm_splash.h"

namespace qmt::app {

namespace {

// The write pointer of Configuration Reg 1.
constexpr std::int32_t ConfigurationWritePointer = 0x09;

} // namespace

void Main(Application& app, const link::ConnectionOptions& connection) {
    FrmSplash& splash = app.ShowSplash();

    FrmMain& mainWindow = app.CreateMainWindow();
    QObject::connect(&splash, &FrmSplash::statusMessage, &mainWindow, &FrmMain::ShowStatusText);
    link::ConnectionSequence sequence(app.access(), app.clock(), splash, connection);
    mainWindow.Load(sequence);

    app.UnloadSplash();
    mainWindow.show();
    // From here on nothing yields to the event loop, so the first tick finds
    // the defaults set.
    mainWindow.EnableMasterTimer();
    mainWindow.OpenWindow(WindowId::Graph);
    InitialiseDefaults(app);
}

void InitialiseDefaults(Application& app) {
    app.regMap().FillRegMap();
    GeneralStuff& state = app.state();
    state.GraphingInterval = 50;
    state.LoggingInterval = 100;
    state.ReadingInterval = 100;
    state.ContinuousReading = true;
    state.LogChannel = {true, true, true};
    app.access().UpdateRemoteSelection(ConfigurationWritePointer);
}

} // namespace qmt::app
