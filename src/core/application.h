#pragma once

#include "core/dialog_folders.h"
#include "core/gui_link_error_handler.h"
#include "core/limit_write_relay.h"
#include "core/monitoring_cycle.h"
#include "core/remote_selection_relay.h"
#include "core/shell_services.h"
#include "core/status_reader.h"
#include "link/bridge.h"
#include "link/clock.h"
#include "link/register_access.h"
#include "link/usb_stuff.h"
#include "model/general_stuff.h"
#include "model/reg_map.h"

#include <QString>
#include <memory>

namespace qmt::core {

// What the core asks of the windows that show it. The shell implements it;
// without a host (qmtctl-like uses, tests of the core) the calls do nothing.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual void StopMasterTimer() = 0;
    virtual void StartMasterTimer() = 0;
    virtual void CloseAllWindows() = 0;
};

// The program's one world: the program-wide state, the device link and the
// monitoring cycle. Everything that needs a part of it is handed the part by
// reference; tests build a fresh one each. The windows live in the shell,
// which registers itself as the window host.
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
    DialogFolders& dialogFolders() { return dialogFolders_; }

    // The host stays registered until it registers null; it must outlive that.
    void SetWindowHost(WindowHost* host) { host_ = host; }

    void StopMasterTimer();
    // Starts the master timer again after a pause (saving or recalling settings).
    void StartMasterTimer();
    // Unloads every loaded window (see the host).
    void CloseAllWindows();

private:
    GeneralStuff state_;
    link::USBStuff usb_;
    model::RegMapStuff regMap_;
    std::unique_ptr<link::Clock> clock_;
    std::unique_ptr<link::Bridge> bridge_;
    QString settingsFile_;
    ShellServices services_;
    DialogFolders dialogFolders_;
    GuiLinkErrorHandler linkErrors_;
    link::RegisterAccess access_;
    MonitoringCycle cycle_;
    RemoteSelectionRelay remoteSelection_;
    LimitWriteRelay limitWrites_;
    StatusReader statusReader_;
    WindowHost* host_ = nullptr;
};

} // namespace qmt::core
