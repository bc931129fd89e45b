#pragma once

#include "app/gui_link_error_handler.h"
#include "app/limit_write_relay.h"
#include "app/monitoring_cycle.h"
#include "app/remote_selection_relay.h"
#include "app/shell_services.h"
#include "app/status_reader.h"
#include "link/bridge.h"
#include "link/clock.h"
#include "link/register_access.h"
#include "link/usb_stuff.h"
#include "model/general_stuff.h"
#include "model/reg_map.h"

#include <QString>
#include <memory>

namespace qmt::app {

class FrmMain;
class FrmSplash;

// The program's one world: the program-wide state, the device link, the
// monitoring cycle and the windows of the shell. Everything that needs a
// part of it is handed the part by reference; tests build a fresh one each.
class Application {
public:
    Application(std::unique_ptr<link::Clock> clock, std::unique_ptr<link::Bridge> bridge,
                QString settingsFile, ShellServices services);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    GeneralStuff& state() { return state_; }
    link::USBStuff& usb() { return usb_; }
    model::RegMapStuff& regMap() { return regMap_; }
    link::Clock& clock() { return *clock_; }
    link::Bridge& bridge() { return *bridge_; }
    link::RegisterAccess& access() { return access_; }
    MonitoringCycle& cycle() { return cycle_; }
    RemoteSelectionRelay& remoteSelection() { return remoteSelection_; }
    LimitWriteRelay& limitWrites() { return limitWrites_; }
    StatusReader& statusReader() { return statusReader_; }
    const QString& settingsFile() const { return settingsFile_; }
    const ShellServices& services() const { return services_; }

    // The splash window while start-up shows it, else null.
    FrmSplash* splash() const { return splash_.get(); }
    FrmSplash& ShowSplash();
    void UnloadSplash();

    // The one main window, null until start-up creates it.
    FrmMain* mainWindow() const { return mainWindow_.get(); }
    FrmMain& CreateMainWindow();

    void StopMasterTimer();
    // Starts the master timer again after a pause (saving or recalling settings).
    void StartMasterTimer();
    // Unloads every loaded window: the splash, then the main window, whose
    // unload closes its child windows and stores its placement.
    void CloseAllWindows();

private:
    GeneralStuff state_;
    link::USBStuff usb_;
    model::RegMapStuff regMap_;
    std::unique_ptr<link::Clock> clock_;
    std::unique_ptr<link::Bridge> bridge_;
    QString settingsFile_;
    ShellServices services_;
    GuiLinkErrorHandler linkErrors_;
    link::RegisterAccess access_;
    MonitoringCycle cycle_;
    RemoteSelectionRelay remoteSelection_;
    LimitWriteRelay limitWrites_;
    StatusReader statusReader_;
    // Windows last: they are destroyed before the state they show.
    std::unique_ptr<FrmSplash> splash_;
    std::unique_ptr<FrmMain> mainWindow_;
};

} // namespace qmt::app
