#include "shell/shell.h"

#include "shell/frm_main.h"
#include "shell/frm_splash.h"

namespace qmt::shell {

Shell::Shell(core::Application& app) : app_(app) {
    app_.SetWindowHost(this);
}

Shell::~Shell() {
    // A window's unload that reaches back through the application finds no
    // half-destroyed host.
    app_.SetWindowHost(nullptr);
    mainWindow_.reset();
    splash_.reset();
}

FrmSplash& Shell::ShowSplash() {
    splash_ = std::make_unique<FrmSplash>();
    splash_->ShowAndPaint();
    return *splash_;
}

void Shell::UnloadSplash() {
    if (splash_) {
        splash_->close();
        splash_.reset();
    }
}

FrmMain& Shell::CreateMainWindow() {
    mainWindow_ = std::make_unique<FrmMain>(app_);
    return *mainWindow_;
}

void Shell::StopMasterTimer() {
    if (mainWindow_) {
        mainWindow_->DisableMasterTimer();
    }
}

void Shell::StartMasterTimer() {
    if (mainWindow_) {
        mainWindow_->EnableMasterTimer();
    }
}

void Shell::CloseAllWindows() {
    if (splash_) {
        splash_->close();
    }
    if (mainWindow_) {
        mainWindow_->close();
    }
}

} // namespace qmt::shell
