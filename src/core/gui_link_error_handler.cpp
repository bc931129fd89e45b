#include "core/gui_link_error_handler.h"

#include "core/app_identity.h"
#include "core/application.h"

#include <iostream>

namespace qmt::core {

void GuiLinkErrorHandler::ReportLinkError(link::LinkError code) {
    // A window's unload handling may touch the lost link once more; the
    // first report already said it all, so the program just ends.
    if (!reporting_) {
        reporting_ = true;
        app_.StopMasterTimer();
        std::string message = link::LinkErrorMessage(code);
        if (!deviceFailure_.empty()) {
            message += '\n' + deviceFailure_;
        }
        app_.services().showCriticalMessage(ApplicationTitle(), QString::fromStdString(message));
        app_.CloseAllWindows();
    }
    app_.services().exitProgram(LinkFailureExitStatus);
}

void GuiLinkErrorHandler::DescribeDeviceFailure(const std::string& detail) {
    if (!reporting_) {
        deviceFailure_ = detail;
    }
}

void GuiLinkErrorHandler::ExplainLinkError(const std::string& reason) {
    if (!reporting_) {
        std::cerr << "qmteval: " << reason << '\n';
    }
}

} // namespace qmt::core
