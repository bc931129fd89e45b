#include "core/application.h"

#include <QStandardPaths>

namespace qmt::core {

Application::Application(std::unique_ptr<link::Clock> clock, std::unique_ptr<link::Bridge> bridge,
                         QString settingsFile, ShellServices services)
    : clock_(std::move(clock)), bridge_(std::move(bridge)), settingsFile_(std::move(settingsFile)),
      services_(std::move(services)),
      dialogFolders_(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)),
      linkErrors_(*this), access_(*bridge_, usb_, state_, linkErrors_),
      cycle_(state_, access_, *clock_), remoteSelection_(state_), limitWrites_(state_),
      statusReader_(access_, *clock_) {
    access_.SetRemoteSelectionListener(&remoteSelection_);
    access_.SetLimitWriteListener(&limitWrites_);
}

Application::~Application() = default;

void Application::StopMasterTimer() {
    if (host_) {
        host_->StopMasterTimer();
    }
}

void Application::StartMasterTimer() {
    if (host_) {
        host_->StartMasterTimer();
    }
}

void Application::CloseAllWindows() {
    if (host_) {
        host_->CloseAllWindows();
    }
}

} // namespace qmt::core
