#include "shell/startup.h"

#include "core/startup_defaults.h"
#include "shell/frm_main.h"
#include "shell/frm_splash.h"
#include "shell/shell.h"

namespace qmt::shell {

void Main(Shell& shell, const link::ConnectionOptions& connection) {
    FrmSplash& splash = shell.ShowSplash();

    FrmMain& mainWindow = shell.CreateMainWindow();
    QObject::connect(&splash, &FrmSplash::statusMessage, &mainWindow, &FrmMain::ShowStatusText);
    core::Application& app = shell.app();
    link::ConnectionSequence sequence(app.access(), app.clock(), splash, connection);
    mainWindow.Load(sequence);

    shell.UnloadSplash();
    mainWindow.show();
    // From here on nothing yields to the event loop, so the first tick finds
    // the defaults set.
    mainWindow.EnableMasterTimer();
    mainWindow.OpenWindow(WindowId::Graph);
    core::InitialiseDefaults(app);
}

} // namespace qmt::shell
