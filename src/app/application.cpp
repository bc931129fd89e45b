#include "app/application.h"

#include "app/frm_main.h"
#include "app/frm_splash.h"

namespace qmt::app {

Application::Application(std::unique_ptr<link::Clock> clock, std::unique_ptr<link::Bridge> bridge,
                         QString settingsFile, ShellServices services)
    : clock_(std::move(clock)), bridge_(std::move(bridge)), settingsFile_(std::move(settingsFile)),
      services_(std::move(services)), linkErrors_(*this),
      access_(*bridge_, usb_, state_, linkErrors_), cycle_(state_, access_, *clock_),
      remoteSelection_(state_), limitWrites_(state_), statusReader_(access_, *clock_) {
    access_.SetRemoteSelectionListener(&remoteSelection_);
    access_.SetLimitWriteListener(&limitWrites_);
}

Application::~Application() = default;

FrmSplash& Application::ShowSplash() {
    splash_ = std::make_unique<FrmSplash>();
    splash_->ShowAndPaint();
    return *splash_;
}

void Application::UnloadSplash() {
    if (splash_) {
        splash_->close();
        splash_.reset();
    }
}

FrmMain& Application::CreateMainWindow() {
    mainWindow_ = std::make_unique<FrmMain>(*this);
    return *mainWindow_;
}

void Application::StopMasterTimer() {
    if (mainWindow_) {
        mainWindow_->tmrMaster().stop();
    }
}

void Application::StartMasterTimer() {
    if (mainWindow_) {
        mainWindow_->EnableMasterTimer();
    }
}

void Application::CloseAllWindows() {
    if (splash_) {
        splash_->close();
    }
    if (mainWindow_) {
        mainWindow_->close();
    }
}

} // namespace qmt::app
