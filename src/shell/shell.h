#pragma once

#include "core/application.h"

#include <memory>

namespace qmt::shell {

class FrmMain;
class FrmSplash;

// The program's top-level windows: the splash while start-up shows it and
// the one main window. While it lives it is the application's window host;
// it must go before the application, whose state its windows show.
class Shell final : public core::WindowHost {
public:
    explicit Shell(core::Application& app);
    ~Shell() override;
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    core::Application& app() { return app_; }

    // The splash window while start-up shows it, else null.
    FrmSplash* splash() const { return splash_.get(); }
    FrmSplash& ShowSplash();
    void UnloadSplash();

    // The one main window, null until start-up creates it.
    FrmMain* mainWindow() const { return mainWindow_.get(); }
    FrmMain& CreateMainWindow();

    void StopMasterTimer() override;
    void StartMasterTimer() override;
    // Unloads the splash, then the main window, whose unload closes its child
    // windows and stores its placement.
    void CloseAllWindows() override;

private:
    core::Application& app_;
    std::unique_ptr<FrmSplash> splash_;
    std::unique_ptr<FrmMain> mainWindow_;
};

} // namespace qmt::shell
